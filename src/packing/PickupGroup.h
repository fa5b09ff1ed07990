#pragma once

#include <vector>

#include "model/PackItemTraverser.h"

struct GroupEntry;

// Fills the group table: row g + 1 gets the numbers of group g's files in
// pre-order and their total size. Row 0 receives nothing.
class CPickupGroup : public CPackItemTraverser {
public:
    explicit CPickupGroup(std::vector<GroupEntry>* table) : table_(table) {}
    bool VisitItem(CPackItem& item) override;

private:
    std::vector<GroupEntry>* table_;  // the caller's, sized to groupCount + 1
};
