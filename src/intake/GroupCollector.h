#pragma once

#include <boost/shared_ptr.hpp>

#include <vector>

#include "model/PackItemTraverser.h"

class CPackItem;

// Members of each automatic-grouping candidate, indexed by candidate number, in
// walk order. The pointers do not own the items.
using AutoGroupTable = std::vector<std::vector<CPackItem*>>;
using AutoGroupTablePtr = boost::shared_ptr<AutoGroupTable>;

// Fills the candidate table from the items' candidate numbers; folders are not
// collected.
class CGroupCollector : public CPackItemTraverser {
public:
    explicit CGroupCollector(AutoGroupTablePtr table);

    bool VisitItem(CPackItem& item) override;

    const AutoGroupTablePtr& Table() const { return table_; }

private:
    AutoGroupTablePtr table_;
};
