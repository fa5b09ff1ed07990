#pragma once

#include "model/PackItemTraverser.h"

// Marks a selected item for removal by CItemEraser. Only the item the walk
// starts at needs its mark (its subtree leaves with it); the walk therefore
// stops at once instead of visiting a large folder's contents.
class CItemRemover : public CPackItemTraverser {
public:
    bool VisitFolder(CPackFolder& folder) override;
    bool VisitItem(CPackItem& item) override;
};
