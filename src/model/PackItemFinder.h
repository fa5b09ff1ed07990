#pragma once

#include <cstdint>

#include "model/PackItemTraverser.h"

// Finds the node (file or folder) with one item number by walking the tree.
// The packing uses an index instead; this serves single look-ups.
class CPackItemFinder : public CPackItemTraverser {
public:
    explicit CPackItemFinder(uint32_t wanted) : wanted_(wanted) {}
    bool VisitFolder(CPackFolder& folder) override;
    bool VisitItem(CPackItem& item) override;
    CPackItem* Found() const { return found_; }

private:
    uint32_t wanted_;
    CPackItem* found_ = nullptr;
};
