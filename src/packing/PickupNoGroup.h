#pragma once

#include <vector>

#include "model/PackItemTraverser.h"
#include "packing/PackEntry.h"

// Appends one entry per file in no group, in tree pre-order. Folders give none.
class CPickupNoGroup : public CPackItemTraverser {
public:
    explicit CPickupNoGroup(std::vector<PackEntry>* entries) : entries_(entries) {}
    bool VisitItem(CPackItem& item) override;

private:
    std::vector<PackEntry>* entries_;  // the caller's
};
