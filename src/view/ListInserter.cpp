#include "view/ListInserter.h"

#include "model/PackItem.h"
#include "view/ListRows.h"

bool CListInserter::VisitItem(CPackItem& item) {
    if (skipFirst_) {
        skipFirst_ = false;
        return true;
    }
    if (!hidden_.back()) {
        out_.push_back(
            ListRow{RowRef(&item), item.level, item.IsFolder() ? RowKind::Folder : RowKind::File});
    }
    return true;
}

bool CListInserter::VisitFolder(CPackFolder& folder) {
    VisitItem(folder);
    // A collapsed folder hides what lies below it. The walk still descends, as
    // the traverser's contract is to visit every node; the flag keeps it cheap.
    const uint8_t below = hidden_.back() || !folder.IsExpanded();
    hidden_.push_back(below);
    return true;
}

void CListInserter::LeaveFolder(CPackFolder&) {
    hidden_.pop_back();
}
