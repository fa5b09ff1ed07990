#pragma once

#include "model/PackItemTraverser.h"

// Sorts the children of every folder of a subtree: folders first, then by path
// without regard to ASCII case.
class CPackItemSorter : public CPackItemTraverser {
public:
    bool VisitFolder(CPackFolder& folder) override;
};
