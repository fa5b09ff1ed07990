#pragma once

#include <cstdint>
#include <vector>

#include "intake/NameSignature.h"
#include "model/PackItemTraverser.h"

// Forms automatic-grouping candidates among the files directly in each folder:
// every pair scoring above kAutoGroupThreshold shares a candidate number (kept in
// the items' autoGroupId). Candidates grow by chaining and are never merged. The
// items must start without a candidate number.
class CAutoGroupTraverser : public CPackItemTraverser {
public:
    bool VisitFolder(CPackFolder& folder) override;

    // After the walk: the number of candidates formed.
    uint64_t nextCandidate = 0;

private:
    // Reused between folders.
    std::vector<CPackItem*> files_;
    std::vector<NameSignature> signatures_;
};
