#include "view/PackListView.h"

#include <memory>

#include <vector>

#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "packing/DiscPaths.h"
#include "packing/PackImageSizes.h"
#include "view/FolderView.h"
#include "view/ListGeometry.h"
#include "view/ListInserter.h"
#include "view/ListRows.h"
#include "view/RowSelection.h"

CPackListView::CPackListView(CCorvelinDoc& doc, CListRows& rows) : doc_(doc), rows_(rows) {}

void CPackListView::OnInitialUpdate() {
    mode_ = ListMode::Editable;
    rows_.Clear();
}

void CPackListView::OnUpdate(int hint) {
    if (hint != kHintEditable) {
        mode_ = ListMode::Packed;
        BuildPackRows();
        return;
    }
    mode_ = ListMode::Editable;
    std::vector<ListRow> rows;
    rows.reserve(rows_.Count());
    CListInserter inserter(rows);
    doc_.root.Accept(inserter);
    rows_.Reset(std::move(rows));
}

bool CPackListView::ToggleTreeExpand(size_t row) {
    if (mode_ != ListMode::Editable || row >= rows_.Count()) return false;
    CPackFolder* folder = rows_.Folder(row);
    if (!folder) return false;
    const bool wasExpanded = folder->IsExpanded() != 0;
    if (wasExpanded) {
        CFolderView counter;
        folder->Accept(counter);
        folder->SetExpanded(0);
        rows_.CellsChanged(row, row, ColumnPath, ColumnPath);
        rows_.Remove(row + 1, counter.Rows());
    } else {
        folder->SetExpanded(1);
        std::vector<ListRow> rows;
        CListInserter inserter(rows);
        folder->Accept(inserter);
        rows_.CellsChanged(row, row, ColumnPath, ColumnPath);
        rows_.Insert(row + 1, rows);
    }
    return true;
}

bool CPackListView::TogglePackExpand(size_t row) {
    if (mode_ != ListMode::Packed || row >= rows_.Count()) return false;
    if (rows_.Row(row).kind != RowKind::PackHeader) return false;
    PackResult& pack = *rows_.Pack(row);
    if (pack.expanded) {
        pack.expanded = 0;
        rows_.CellsChanged(row, row, ColumnPath, ColumnPath);
        rows_.Remove(row + 1, pack.count);
    } else {
        pack.expanded = 1;
        std::vector<ListRow> rows;
        rows.reserve(pack.count);
        for (PackResultNode* node = pack.head; node; node = node->next)
            rows.push_back(ListRow{RowRef(node), 1, RowKind::PackItem});
        rows_.CellsChanged(row, row, ColumnPath, ColumnPath);
        rows_.Insert(row + 1, rows);
    }
    return true;
}

void CPackListView::BuildPackRows() {
    std::vector<ListRow> rows;
    rows.reserve(doc_.packResults.size());
    for (PackResult& pack : doc_.packResults) {
        pack.expanded = 0;
        rows.push_back(ListRow{RowRef(&pack), 0, RowKind::PackHeader});
    }
    rows_.SetPackSize(doc_.packSize);
    rows_.SetPackCount(doc_.packResults.size());
    // The disc paths are shared by every estimate; the packs stay as they are
    // until the next run or release rebuilds these rows.
    const uint64_t medium = doc_.mediumCapacity != 0 ? doc_.mediumCapacity : doc_.packSize;
    if (runImages_.size() == doc_.packs.size()) {
        rows_.SetPackImages(
            [this](size_t pack) { return pack < runImages_.size() ? runImages_[pack] : 0; },
            doc_.packResults.size(), medium);
    } else {
        auto discPaths = std::make_shared<const CDiscPaths>(doc_.root);
        rows_.SetPackImages(
            [this, discPaths](size_t pack) {
                return pack < doc_.packs.size()
                           ? EstimatePackImage(*discPaths, doc_.packs[pack], false)
                           : 0;
            },
            doc_.packResults.size(), medium);
    }
    rows_.Reset(std::move(rows));
}

size_t CPackListView::InsertPackItemRow(size_t row, PackResultNode& node) {
    rows_.Insert(row, ListRow{RowRef(&node), 1, RowKind::PackItem});
    return row;
}

void CPackListView::RefreshGroupColumn() {
    if (mode_ != ListMode::Editable || rows_.Count() == 0) return;
    rows_.CellsChanged(0, rows_.Count() - 1, ColumnGroup, ColumnGroup);
}

void CPackListView::RefreshSizeColumn(int storedUnit) {
    rows_.SetSizeUnit(storedUnit);
    if (rows_.Count() == 0) return;
    rows_.CellsChanged(0, rows_.Count() - 1, ColumnSize, ColumnSize);
}

bool CPackListView::OnClick(size_t row, int x, int y, int rowHeight) {
    if (row >= rows_.Count()) return false;
    const RowKind kind = rows_.Row(row).kind;
    const bool boxRow =
        mode_ == ListMode::Editable ? kind == RowKind::Folder : kind == RowKind::PackHeader;
    if (!boxRow) return false;
    if (!ExpandBoxRect(rows_.DrawInfo(row), rowHeight).Contains(x, y)) return false;
    return mode_ == ListMode::Editable ? ToggleTreeExpand(row) : TogglePackExpand(row);
}

bool CPackListView::OnDoubleClick(const CRowSelection& selection) {
    if (selection.Empty()) return false;
    const size_t row = selection.First();
    return mode_ == ListMode::Editable ? ToggleTreeExpand(row) : TogglePackExpand(row);
}
