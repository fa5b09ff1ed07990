#include "intake/GroupCollector.h"

#include <utility>

#include "model/PackItem.h"

CGroupCollector::CGroupCollector(AutoGroupTablePtr table) : table_(std::move(table)) {}

bool CGroupCollector::VisitItem(CPackItem& item) {
    const uint64_t candidate = item.autoGroupId;
    if (candidate == NoAutoGroup) return true;
    // The table is sized from the grouping walk's count; grow rather than write
    // past it if a caller sized it short.
    if (candidate >= table_->size()) table_->resize(static_cast<size_t>(candidate) + 1);
    (*table_)[static_cast<size_t>(candidate)].push_back(&item);
    return true;
}
