#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/PackItemTraverser.h"

class CCorvelinDoc;
class CPackItem;

// Turns the surviving automatic-grouping candidates into real groups. Each
// candidate gets a new group number from the document when the walk first meets
// one of its members, so numbers follow walk order, not candidate order; a
// candidate whose members were all dropped uses no number.
class CGroupApplyTraverser : public CPackItemTraverser {
public:
    CGroupApplyTraverser(CCorvelinDoc& doc, size_t candidateCount);

    bool VisitFolder(CPackFolder& folder) override;
    bool VisitItem(CPackItem& item) override;

    // Real group number per candidate; NoGroup where none was given.
    const std::vector<uint64_t>& GroupNumbers() const { return groupNumbers_; }

private:
    CCorvelinDoc& doc_;
    std::vector<uint64_t> groupNumbers_;
};
