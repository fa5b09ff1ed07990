#include "ui/settings/DisplayFont.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

#include "settings/SettingsStore.h"

namespace {

constexpr int kMaxSearchPixels = 200;

QStringList FontFamilies(const QString& face) {
    QStringList families{face};
    for (const char16_t* fallback :
         {u"ＭＳ ゴシック", u"MS Gothic", u"IPAGothic", u"Noto Sans CJK JP", u"sans-serif"}) {
        const QString name = QString::fromUtf16(fallback);
        if (!families.contains(name)) families.append(name);
    }
    return families;
}

}  // namespace

QFont MakeListFont(const DisplaySettings& settings) {
    QFont font;
    font.setFamilies(FontFamilies(QString::fromStdU16String(settings.fontFace)));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    const int stored = settings.fontSize;
    if (stored < 0) {
        font.setPixelSize(std::min(-stored, kMaxSearchPixels));
    } else if (stored > 0) {
        int best = 1;
        int bestDistance = -1;
        for (int px = 1; px <= kMaxSearchPixels; ++px) {
            font.setPixelSize(px);
            const int distance = std::abs(QFontMetrics(font).height() - stored);
            if (bestDistance < 0 || distance < bestDistance) {
                best = px;
                bestDistance = distance;
            }
            if (QFontMetrics(font).height() > stored) break;
        }
        font.setPixelSize(best);
    }
    return font;
}

void StoreListFont(const QFont& font, DisplaySettings& settings) {
    const QStringList families = font.families();
    const QString face = families.isEmpty() ? font.family() : families.first();
    settings.fontFace = face.toStdU16String();
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    settings.fontSize = -std::max(pixels, 1);
}

QColor ColorFromStored(uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

uint32_t StoredFromColor(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}
