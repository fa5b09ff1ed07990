#pragma once

#include <cstddef>
#include <vector>

// Inclusive range of row indexes, as a selection model hands them out.
struct RowRange {
    size_t first = 0;
    size_t last = 0;
};

// The selected rows of the list as sorted, disjoint ranges. Built from the
// view's selection ranges in any order, overlapping or not; walking ranges
// keeps a selection of a million rows cheap.
class CRowSelection {
public:
    CRowSelection() = default;
    explicit CRowSelection(std::vector<RowRange> ranges);
    // Single rows, in any order.
    static CRowSelection FromRows(const std::vector<size_t>& rows);

    bool Empty() const { return ranges_.empty(); }
    size_t Count() const;
    // The lowest selected row; only when not Empty().
    size_t First() const { return ranges_.front().first; }
    const std::vector<RowRange>& Ranges() const { return ranges_; }

    // Calls f(row) for every selected row, lowest first.
    template <typename F>
    void ForEach(F&& f) const {
        for (const RowRange& r : ranges_)
            for (size_t row = r.first; row <= r.last; ++row)
                f(row);
    }

private:
    std::vector<RowRange> ranges_;
};
