#include "view/FolderView.h"

#include "model/PackItem.h"

bool CFolderView::VisitItem(CPackItem&) {
    ++rows_;
    return true;
}

bool CFolderView::VisitFolder(CPackFolder& folder) {
    if (skipFirst_) {
        // The folder being collapsed keeps its row; its contents are counted.
        skipFirst_ = false;
        return true;
    }
    ++rows_;
    // What lies below a collapsed folder has no rows and is not walked.
    return folder.IsExpanded() != 0;
}
