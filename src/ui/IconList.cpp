#include "ui/IconList.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QMimeType>
#include <QStyle>

CIconList::CIconList() {
    QStyle* style = QApplication::style();
    simple_[File] = style->standardIcon(QStyle::SP_FileIcon);
    simple_[Closed] = style->standardIcon(QStyle::SP_DirClosedIcon);
    simple_[Open] = style->standardIcon(QStyle::SP_DirOpenIcon);
}

int32_t CIconList::IndexFor(const std::u16string& path, bool folder) {
    if (folder) return IndexForName(QStringLiteral("folder"), QString());
    const size_t slash = path.rfind(u'/');
    const size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind(u'.');
    // A leading dot starts a hidden name, not an extension.
    if (dot == std::u16string::npos || dot <= nameStart) return -1;
    return IndexForExtension(
        QString::fromUtf16(path.data() + dot + 1, static_cast<qsizetype>(path.size() - dot - 1))
            .toLower());
}

int32_t CIconList::IndexForExtension(const QString& extension) {
    const auto found = byExtension_.constFind(extension);
    if (found != byExtension_.cend()) return *found;
    static const QMimeDatabase database;
    const QMimeType type =
        database.mimeTypeForFile(QStringLiteral("x.") + extension, QMimeDatabase::MatchExtension);
    const int32_t index = IndexForName(type.iconName(), type.genericIconName());
    byExtension_.insert(extension, index);
    return index;
}

int32_t CIconList::IndexForName(const QString& iconName, const QString& fallbackName) {
    const auto found = byName_.constFind(iconName);
    if (found != byName_.cend()) return *found;
    QIcon icon = QIcon::fromTheme(iconName);
    if (icon.isNull() && !fallbackName.isEmpty()) icon = QIcon::fromTheme(fallbackName);
    int32_t index = -1;
    if (!icon.isNull()) {
        index = static_cast<int32_t>(icons_.size());
        icons_.push_back(icon);
    }
    byName_.insert(iconName, index);
    return index;
}

const QIcon& CIconList::At(int32_t index) const {
    if (index < 0 || index >= icons_.size()) return simple_[File];
    return icons_[index];
}
