#pragma once
// A list over an in-memory document that records its notices.

#include <sstream>
#include <string>
#include <vector>

#include "packing/PackTestSupport.h"
#include "view/ListColumns.h"
#include "view/ListRows.h"
#include "view/ListRowsObserver.h"
#include "view/PackListView.h"

namespace view_test {

using Strings = std::vector<std::string>;

using packing_test::AddFile;
using packing_test::AddFolder;

// Every notice as text: "+3,2" (insert 2 rows at 3), "-3,2", "reset", "cells 0-9 2-2".
struct RecordingObserver : IListRowsObserver {
    Strings notices;
    void BeginInsertRows(size_t first, size_t n) override { Note("+", first, ",", n); }
    void BeginRemoveRows(size_t first, size_t n) override { Note("-", first, ",", n); }
    void BeginReset() override { notices.push_back("reset"); }
    void EndInsertRows() override {}
    void EndRemoveRows() override {}
    void EndReset() override {}
    void CellsChanged(size_t firstRow, size_t lastRow, int firstColumn, int lastColumn) override {
        Note("cells ", firstRow, "-", lastRow, " ", firstColumn, "-", lastColumn);
    }
    template <typename... Parts>
    void Note(const Parts&... parts) {
        std::ostringstream out;
        (out << ... << parts);
        notices.push_back(out.str());
    }
};

struct ListFixture {
    CCorvelinDoc doc;
    CListRows rows;
    CPackListView view{doc, rows};
    RecordingObserver observer;
    ListFixture() { rows.SetObserver(&observer); }

    // The Path cells of every row, indented by level as "  name".
    Strings Paths() const {
        Strings out;
        for (size_t i = 0; i < rows.Count(); ++i)
            out.push_back(std::string(2 * rows.Row(i).level, ' ') +
                          zel::Utf16ToUtf8(rows.CellText(i, ColumnPath)));
        return out;
    }
    std::string Cell(size_t row, int column) const {
        return zel::Utf16ToUtf8(rows.CellText(row, column));
    }
    // Every cell the row's mode shows, joined by "|".
    std::string Cells(size_t row) const {
        const ListMode mode = ModeOfRow(rows.Row(row).kind);
        std::string out = Cell(row, 0);
        for (int column = 1; column < ColumnCount; ++column) {
            if (ColumnShown(mode, column)) out += "|" + Cell(row, column);
        }
        return out;
    }
};

}  // namespace view_test
