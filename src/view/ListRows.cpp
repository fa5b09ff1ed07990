#include "view/ListRows.h"

#include <fmt/format.h>

#include <algorithm>

#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "packing/PackFillRate.h"
#include "packing/PackImageSizes.h"
#include "support/SizeFormat.h"
#include "support/TextCodec.h"
#include "view/ListRowsObserver.h"

namespace {

std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

std::u16string GroupText(uint64_t group) {
    if (group == NoGroup) return {};
    return UInt64ToString(group + 1);
}

}  // namespace

void CListRows::Insert(size_t at, const std::vector<ListRow>& rows) {
    if (rows.empty()) return;
    at = std::min(at, rows_.size());
    if (observer_) observer_->BeginInsertRows(at, rows.size());
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), rows.begin(), rows.end());
    if (observer_) observer_->EndInsertRows();
}

void CListRows::Insert(size_t at, const ListRow& row) {
    at = std::min(at, rows_.size());
    if (observer_) observer_->BeginInsertRows(at, 1);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), row);
    if (observer_) observer_->EndInsertRows();
}

void CListRows::Remove(size_t first, size_t count) {
    if (first >= rows_.size()) return;
    count = std::min(count, rows_.size() - first);
    if (count == 0) return;
    if (observer_) observer_->BeginRemoveRows(first, count);
    const auto begin = rows_.begin() + static_cast<std::ptrdiff_t>(first);
    rows_.erase(begin, begin + static_cast<std::ptrdiff_t>(count));
    if (observer_) observer_->EndRemoveRows();
}

void CListRows::Reset(std::vector<ListRow> rows) {
    if (observer_) observer_->BeginReset();
    rows_ = std::move(rows);
    if (observer_) observer_->EndReset();
}

std::ptrdiff_t CListRows::Find(uint64_t ref) const {
    const auto it = std::find_if(rows_.begin(), rows_.end(),
                                 [ref](const ListRow& row) { return row.ref == ref; });
    return it == rows_.end() ? -1 : it - rows_.begin();
}

void CListRows::CellsChanged(size_t firstRow, size_t lastRow, int firstColumn, int lastColumn) {
    if (rows_.empty() || firstRow > lastRow || firstRow >= rows_.size()) return;
    lastRow = std::min(lastRow, rows_.size() - 1);
    if (observer_) observer_->CellsChanged(firstRow, lastRow, firstColumn, lastColumn);
}

CPackItem* CListRows::Item(size_t row) const {
    if (row >= rows_.size()) return nullptr;
    const ListRow& r = rows_[row];
    switch (r.kind) {
        case RowKind::File:
        case RowKind::Folder:
            return reinterpret_cast<CPackItem*>(static_cast<uintptr_t>(r.ref));
        case RowKind::PackItem:
            return reinterpret_cast<PackResultNode*>(static_cast<uintptr_t>(r.ref))->item;
        case RowKind::PackHeader:
            break;
    }
    return nullptr;
}

CPackFolder* CListRows::Folder(size_t row) const {
    if (row >= rows_.size() || rows_[row].kind != RowKind::Folder) return nullptr;
    return Item(row)->AsFolder();
}

PackResult* CListRows::Pack(size_t row) const {
    if (row >= rows_.size()) return nullptr;
    const ListRow& r = rows_[row];
    if (r.kind == RowKind::PackHeader)
        return reinterpret_cast<PackResult*>(static_cast<uintptr_t>(r.ref));
    if (r.kind == RowKind::PackItem) return Node(row)->pack;
    return nullptr;
}

PackResultNode* CListRows::Node(size_t row) const {
    if (row >= rows_.size() || rows_[row].kind != RowKind::PackItem) return nullptr;
    const ListRow& r = rows_[row];
    return reinterpret_cast<PackResultNode*>(static_cast<uintptr_t>(r.ref));
}

std::u16string CListRows::CellText(size_t row, int column) const {
    const ListRow& r = rows_[row];
    if (r.kind == RowKind::PackHeader) {
        const PackResult& pack = *Pack(row);
        switch (column) {
            case ColumnPath:
                return Ascii(fmt::format("Pack {}", pack.number));
            case ColumnSize:
                return FormatDisplaySize(pack.size, sizeUnit_);
            case ColumnPackNo:
                return UInt64ToString(pack.number);
            case ColumnImage: {
                const size_t index = pack.number - 1;
                if (pack.number == 0 || index >= packImages_.size() || !estimateImage_) return {};
                if (packImages_[index] == kImageUnknown) packImages_[index] = estimateImage_(index);
                return DescribePackImage(packImages_[index], medium_, sizeUnit_);
            }
            case ColumnRate: {
                const uint32_t perMille = PackFillPerMille(pack.size, packSize_);
                return perMille == kPackOver ? u"over" : UInt64ToString(perMille);
            }
            default:
                return {};
        }
    }
    const CPackItem& item = *Item(row);
    switch (column) {
        case ColumnPath:
            // Top-level folders and pack items show the whole path.
            if (r.kind == RowKind::PackItem || (r.kind == RowKind::Folder && item.level < 2))
                return zel::ForDisplay(item.GetPath());
            return zel::ForDisplay(item.GetFileName().ToString());
        case ColumnSize:
            if (r.kind == RowKind::Folder) return u"[Dir]";
            return FormatDisplaySize(item.GetSize(), sizeUnit_);
        case ColumnGroup:
            return GroupText(item.group);
        default:
            return {};
    }
}

RowDrawInfo CListRows::DrawInfo(size_t row) const {
    const ListRow& r = rows_[row];
    RowDrawInfo info;
    info.kind = r.kind;
    info.level = r.level;
    info.firstRow = row == 0;
    switch (r.kind) {
        case RowKind::File:
        case RowKind::Folder: {
            const CPackItem& item = *Item(row);
            info.group = item.group;
            info.archiveChanged = item.archiveChanged != 0;
            info.lastSibling = item.siblingPosition == CPackItem::PositionLast;
            if (const CPackFolder* folder = Folder(row)) {
                info.branch = true;
                info.expanded = folder->IsExpanded() != 0;
            }
            if (item.level > 1) {
                info.ancestorsLast.assign(item.level - 1, false);
                for (const CPackFolder* up = item.parent; up && up->level >= 1; up = up->parent)
                    if (size_t{up->level} - 1 < info.ancestorsLast.size())
                        info.ancestorsLast[size_t{up->level} - 1] =
                            up->siblingPosition == CPackItem::PositionLast;
            }
            break;
        }
        case RowKind::PackHeader: {
            const PackResult& pack = *Pack(row);
            info.branch = true;
            info.expanded = pack.expanded != 0;
            info.lastSibling = pack.number >= packCount_;
            info.morePacks = pack.number < packCount_;
            info.perMille = PackFillPerMille(pack.size, packSize_);
            break;
        }
        case RowKind::PackItem: {
            const PackResultNode& node = *Node(row);
            info.group = node.item->group;
            info.archiveChanged = node.item->archiveChanged != 0;
            info.lastSibling = node.next == nullptr;
            info.morePacks = node.pack->number < packCount_;
            break;
        }
    }
    info.image = info.branch ? (info.expanded ? 2 : 1) : 0;
    return info;
}
