#include "view/FolderView.h"

#include "model/PackItem.h"

bool CFolderView::VisitItem(CPackItem&) {
    if (!skip_.back()) ++rows_;
    return true;
}

bool CFolderView::VisitFolder(CPackFolder& folder) {
    if (skipFirst_) {
        // The folder being collapsed keeps its row; it counts as expanded here.
        skipFirst_ = false;
        skip_.push_back(0);
        return true;
    }
    VisitItem(folder);
    const bool hidden = skip_.back() || !folder.IsExpanded();
    skip_.push_back(hidden);
    // Nothing below a hidden folder has a row: no need to walk it.
    return !hidden;
}

void CFolderView::LeaveFolder(CPackFolder&) {
    skip_.pop_back();
}
