#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QVector>

#include <cstdint>
#include <string>

// The list's icons: the three simple images (a file, a closed and an open
// folder or pack) and the theme icons found so far for file types. Types are
// told by the name's extension alone (nothing is read from the file), so each
// extension is looked up once and painting a row costs one hash lookup.
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
    int32_t IndexForExtension(const QString& extension);

    QIcon simple_[3];
    QVector<QIcon> icons_;
    QHash<QString, int32_t> byName_;       // icon name -> index, -1 when the theme lacks it
    QHash<QString, int32_t> byExtension_;  // lower-case extension -> index or -1
};
