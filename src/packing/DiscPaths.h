#pragma once

#include <string>
#include <unordered_map>

#include "model/ItemText.h"

class CPackItem;
class CPackFolder;

// Where each file goes on a disc. The tree below every top-level item (a dropped
// file or folder) is kept under the item's own name, so a dropped folder "A"
// becomes "/A/...". Top-level items whose names clash, compared with ASCII case
// folded because Joliet readers ignore case, are told apart in list order: the
// second gets "~2", the third "~3", and so on, inserted before a file's
// extension ("photo~2.jpg") or appended to a folder's name ("A~2"), skipping any
// name already taken. A top-level item without a name ("/" itself) is "root".
// "_CORVELIN" counts as taken from the start: written media keep their
// checksums and the set's index in a folder of that name.
class CDiscPaths {
public:
    explicit CDiscPaths(const CPackFolder& root);

    // The disc path of an item below root: "/" + its top-level item's disc name
    // + the rest of its path, in the item's own text (file-name escapes kept).
    std::u16string DiscPath(const CPackItem& item) const;
    // The last component of an item's disc path: its top-level disc name for a
    // top-level item, else its file name. It lives as long as the item and this.
    ItemText DiscName(const CPackItem& item) const;

private:
    std::unordered_map<const CPackItem*, std::u16string> topNames_;
};
