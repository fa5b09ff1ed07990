#pragma once

#include <vector>

#include "model/PackItemTraverser.h"
#include "view/ListRow.h"

// Collects the editable rows of a walk: every item whose enclosing folders
// (below the folder the walk starts at, which gets no row itself) are all
// expanded, each folder before its children. The caller inserts what it
// collected as one block.
class CListInserter : public CPackItemTraverser {
public:
    explicit CListInserter(std::vector<ListRow>& out) : out_(out) {}

    bool VisitFolder(CPackFolder& folder) override;
    bool VisitItem(CPackItem& item) override;

private:
    std::vector<ListRow>& out_;
    bool skipFirst_ = true;
};
