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
    static const QMimeDatabase database;
    const QString name = QString::fromStdU16String(path);
    const QMimeType type = database.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    return IndexForName(type.iconName(), type.genericIconName());
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
