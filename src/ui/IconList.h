#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QVector>

#include <cstdint>
#include <string>

// The list's icons: the three simple images (a file, a closed and an open
// folder or pack) and the theme icons found so far for file types. Items keep
// an index into it, so a type is looked up once per item and its icon made
// once per type. Types are told by the name's extension alone: nothing is read
// from the file.
class CIconList {
public:
    enum Simple { File = 0, Closed = 1, Open = 2 };

    CIconList();

    const QIcon& SimpleIcon(Simple which) const { return simple_[which]; }
    // Index of the theme icon for a path, or -1 when the theme has none.
    int32_t IndexFor(const std::u16string& path, bool folder);
    // The icon at an index from IndexFor; the file image for anything else.
    const QIcon& At(int32_t index) const;

private:
    int32_t IndexForName(const QString& iconName, const QString& fallbackName);

    QIcon simple_[3];
    QVector<QIcon> icons_;
    QHash<QString, int32_t> byName_;  // icon name -> index, -1 when the theme lacks it
};
