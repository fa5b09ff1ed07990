#include "ui/ListFont.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <QStringList>
#include <algorithm>
#include <climits>

QFont MakeListFont(const std::u16string& face, int32_t height) {
    QStringList families;
    if (!face.empty()) families << QString::fromStdU16String(face);
    for (const QString& fallback :
         {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
          QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")}) {
        if (!families.contains(fallback)) families << fallback;
    }
    QFont font;
    font.setFamilies(families);
    if (height < 0) {
        font.setPixelSize(height < -500 ? 500 : -height);
    } else if (height > 0) {
        // The largest pixel size whose line still fits the stored height.
        int pixels = std::min<int32_t>(height, 500);
        font.setPixelSize(pixels);
        while (pixels > 1 && QFontMetrics(font).height() > height) {
            font.setPixelSize(--pixels);
        }
    }
    return font;
}

int32_t StoredFontHeight(const QFont& font) {
    return -(font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize());
}
