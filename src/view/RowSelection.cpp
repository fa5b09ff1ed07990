#include "view/RowSelection.h"

#include <algorithm>

CRowSelection::CRowSelection(std::vector<RowRange> ranges) {
    for (RowRange& r : ranges)
        if (r.last < r.first) std::swap(r.first, r.last);
    std::sort(ranges.begin(), ranges.end(),
              [](const RowRange& a, const RowRange& b) { return a.first < b.first; });
    for (const RowRange& r : ranges) {
        // Touching or overlapping ranges merge, so every row is visited once.
        if (!ranges_.empty() && r.first <= ranges_.back().last + 1) {
            ranges_.back().last = std::max(ranges_.back().last, r.last);
        } else {
            ranges_.push_back(r);
        }
    }
}

CRowSelection CRowSelection::FromRows(const std::vector<size_t>& rows) {
    std::vector<RowRange> ranges;
    ranges.reserve(rows.size());
    for (size_t row : rows)
        ranges.push_back({row, row});
    return CRowSelection(std::move(ranges));
}

size_t CRowSelection::Count() const {
    size_t n = 0;
    for (const RowRange& r : ranges_)
        n += r.last - r.first + 1;
    return n;
}
