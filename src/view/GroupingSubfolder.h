#pragma once

#include <cstdint>

#include "model/PackItemTraverser.h"

class CCorvelinDoc;

// Gives each direct subfolder of the folder the walk starts at a new group of
// its own (with everything below it), in the order of the folder's children.
// Files directly in the starting folder keep their groups.
class CGroupingSubfolder : public CPackItemTraverser {
public:
    explicit CGroupingSubfolder(CCorvelinDoc& doc) : doc_(doc) {}
    bool VisitFolder(CPackFolder& folder) override;

private:
    CCorvelinDoc& doc_;
    bool first_ = true;
};
