#pragma once

#include "model/PackItemTraverser.h"

// Removes every marked item: each folder drops its marked children before the
// walk reaches them, so a marked folder leaves with its whole subtree.
class CItemEraser : public CPackItemTraverser {
public:
    bool VisitFolder(CPackFolder& folder) override;
};
