#pragma once

#include <cstddef>

// Told of every change of a CListRows, in the order a table model reports
// them: each Begin is followed by its End once the rows have changed. A walk
// that adds or removes many rows reports them as one block.
class IListRowsObserver {
public:
    virtual ~IListRowsObserver() = default;
    // count >= 1; rows [first, first + count) are new after the insertion.
    virtual void BeginInsertRows(size_t first, size_t count) = 0;
    virtual void EndInsertRows() = 0;
    // count >= 1; rows [first, first + count) as they were before the removal.
    virtual void BeginRemoveRows(size_t first, size_t count) = 0;
    virtual void EndRemoveRows() = 0;
    // Every row may have changed (a rebuild).
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
    // The texts (and drawing state) of rows [firstRow, lastRow] in columns
    // [firstColumn, lastColumn] changed; the rows themselves did not move.
    virtual void CellsChanged(size_t firstRow, size_t lastRow, int firstColumn, int lastColumn) = 0;
};
