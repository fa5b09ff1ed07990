#include "view/ListInserter.h"

#include "model/PackItem.h"
#include "view/ListRows.h"

bool CListInserter::VisitItem(CPackItem& item) {
    if (skipFirst_) {
        skipFirst_ = false;
        return true;
    }
    out_.push_back(
        ListRow{RowRef(&item), item.level, item.IsFolder() ? RowKind::Folder : RowKind::File});
    return true;
}

bool CListInserter::VisitFolder(CPackFolder& folder) {
    // The starting folder's contents are wanted whatever its own state.
    if (skipFirst_) return VisitItem(folder);
    VisitItem(folder);
    // Nothing below a collapsed folder has a row: a tree of a million files
    // with its folders collapsed is not walked to its leaves.
    return folder.IsExpanded() != 0;
}
