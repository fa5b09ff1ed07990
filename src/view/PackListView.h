#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class CCorvelinDoc;
class CListRows;
class CPackItem;
class CRowSelection;
struct PackResultNode;

enum class ListMode { Editable = 0, Packed = 1 };

// Hints of the document's view update.
constexpr int kHintEditable = 0;  // rebuild the editable tree (drop, Delete, back)
constexpr int kHintPacked = 1;    // show the packs of the completed run

// What the main list shows of the document, in the editable mode (the item
// tree, folders expanded and collapsed by the user) or the packed mode (one
// header row per pack, expandable to the pack's files). Builds and changes
// the rows of a CListRows; the widget over it only shows them and forwards
// clicks.
class CPackListView {
public:
    CPackListView(CCorvelinDoc& doc, CListRows& rows);

    CCorvelinDoc& Doc() const { return doc_; }
    CListRows& Rows() const { return rows_; }
    ListMode Mode() const { return mode_; }
    // The packed mode selects one row at a time, the editable mode several.
    bool SingleSelection() const { return mode_ == ListMode::Packed; }

    // A new or emptied document: editable mode, no rows. Call it right after
    // the document's reset, before anything paints: the rows point into the
    // released tree until then.
    void OnInitialUpdate();
    // kHintEditable: editable mode, rows rebuilt from the tree; any other
    // hint: packed mode, one collapsed header row per pack. One reset notice.
    void OnUpdate(int hint);

    // Expands or collapses the folder of an editable row: its visible
    // descendants are inserted below it, or removed, as one block. False (and
    // nothing changed) for a row that is not a folder row.
    bool ToggleTreeExpand(size_t row);
    // The same for the pack of a header row in the packed mode.
    bool TogglePackExpand(size_t row);
    // Packed rebuild: every pack collapsed.
    void BuildPackRows();
    // The images the run estimated for its packs, shown by the packed rows
    // instead of estimating each again; empty: estimated when shown.
    void SetRunImages(std::vector<uint64_t> images) { runImages_ = std::move(images); }
    // Inserts one pack item row for a node at row; returns row.
    size_t InsertPackItemRow(size_t row, PackResultNode& node);

    // The Group cells of the editable rows changed (grouping commands).
    void RefreshGroupColumn();
    // The size unit changed: file rows of the editable mode show sizes in it.
    void RefreshSizeColumn(int storedUnit);

    // A click at (x, y), x from the left edge of the row's Path cell, y from
    // the row's top, on a row of height rowHeight: a hit of the row's expand
    // box toggles it (true). Anywhere else only selects (false).
    bool OnClick(size_t row, int x, int y, int rowHeight);
    // Toggles the first selected row (false when nothing changed).
    bool OnDoubleClick(const CRowSelection& selection);

private:
    CCorvelinDoc& doc_;
    std::vector<uint64_t> runImages_;
    CListRows& rows_;
    ListMode mode_ = ListMode::Editable;
};
