#pragma once
// An in-memory item tree under a document, and a list over it that records
// its notices.

#include <boost/make_shared.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "view/ListRows.h"
#include "view/ListRowsObserver.h"
#include "view/PackListView.h"

namespace view_test {

using Strings = std::vector<std::string>;

// Numbers are unique across the test program, which is all a tree needs.
inline uint32_t nextId = 1;

inline CPackItem* AddFile(CPackFolder& folder, const std::string& path, uint64_t size) {
    auto item = boost::make_shared<CPackItem>(nextId++, testing_support::U(path), size);
    CPackItem* raw = item.get();
    folder.AppendChild(item);
    return raw;
}

inline CPackFolder* AddFolder(CPackFolder& folder, const std::string& path, bool expanded = false) {
    auto child = boost::make_shared<CPackFolder>(nextId++, testing_support::U(path), 0);
    child->SetExpanded(expanded);
    CPackFolder* raw = child.get();
    folder.AppendChild(child);
    return raw;
}

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
    // Every cell of one row, joined by "|".
    std::string Cells(size_t row) const {
        std::string out = Cell(row, 0);
        for (int column = 1; column < ColumnCount; ++column)
            out += "|" + Cell(row, column);
        return out;
    }
};

}  // namespace view_test
