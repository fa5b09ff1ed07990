#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "view/ListRow.h"

class CPackItem;
class CPackFolder;
class IListRowsObserver;
struct PackResult;
struct PackResultNode;

// What the drawing needs of one row, read from the row's item or pack.
struct RowDrawInfo {
    RowKind kind = RowKind::File;
    uint32_t level = 0;
    bool branch = false;       // a folder or pack header: it has an expand box
    bool expanded = false;     // branch rows: shown expanded
    bool lastSibling = false;  // files and folders: last child of the parent;
                               // pack items: last of the pack; headers: last pack
    bool morePacks = false;    // packed mode: the pack's trunk goes on below this row
    bool firstRow = false;     // nothing above it: its line starts at its middle
    uint32_t perMille = 0;     // pack headers: fill 1..1000, or kPackOver (0) for "over"
    int image = 0;             // 0 a file, 1 a collapsed, 2 an expanded folder or pack
    uint64_t group = 0;        // files and folders, pack items: the item's group (NoGroup: none)
    // Files: the catalog holds the file with another size or time.
    bool archiveChanged = false;
    // Editable rows: for each ancestor folder at level 1 .. level - 1, whether it
    // is the last child of its parent (its connector column stays blank).
    std::vector<bool> ancestorsLast;
};

// The main list's rows: per row its kind, level and reference (ListRow), kept
// in a flat array, with the five cell texts made on demand. Every change is
// reported to the observer, a multi-row insertion or removal as one block.
//
// References point into the document's tree and pack records; whoever changes
// those rebuilds the rows (CPackListView does), and until then nothing may ask
// for cells (the list's painting is held off while a worker runs).
class CListRows {
public:
    CListRows() = default;
    CListRows(const CListRows&) = delete;
    CListRows& operator=(const CListRows&) = delete;

    // Null: changes are not reported. Not owned.
    void SetObserver(IListRowsObserver* observer) { observer_ = observer; }

    size_t Count() const { return rows_.size(); }
    const ListRow& Row(size_t index) const { return rows_[index]; }
    const std::vector<ListRow>& All() const { return rows_; }

    // Inserts rows before index at (at == Count() appends): one notice.
    void Insert(size_t at, const std::vector<ListRow>& rows);
    void Insert(size_t at, const ListRow& row);
    // Removes rows [first, first + count): one notice. Nothing for count 0.
    void Remove(size_t first, size_t count);
    // Replaces every row: one reset notice.
    void Reset(std::vector<ListRow> rows);
    void Clear() { Reset({}); }
    // The first row with this reference, or -1.
    std::ptrdiff_t Find(uint64_t ref) const;
    // Reports that cells of rows [firstRow, lastRow] changed; nothing for no rows.
    void CellsChanged(size_t firstRow, size_t lastRow, int firstColumn, int lastColumn);
    // Reserves room, so a growing list does not copy itself on each expansion.
    void Reserve(size_t rows) { rows_.reserve(rows); }

    // How sizes are shown (the stored DISP_SIZE_UNIT) and what the fill rates
    // are measured against; changing them reports nothing by itself.
    void SetSizeUnit(int storedUnit) { sizeUnit_ = storedUnit; }
    int SizeUnit() const { return sizeUnit_; }
    void SetPackSize(uint64_t packSize) { packSize_ = packSize; }
    uint64_t PackSize() const { return packSize_; }
    void SetPackCount(size_t packs) { packCount_ = packs; }
    // Each pack's estimated image size (by its 0-based index), shown in a pack
    // header's image cell with a warning when it exceeds medium (the bytes the
    // medium holds). Asked only for the packs a view shows, once each: a
    // million files would take half a second to estimate up front.
    void SetPackImages(std::function<uint64_t(size_t)> estimate, size_t packs, uint64_t medium) {
        estimateImage_ = std::move(estimate);
        packImages_.assign(packs, kImageUnknown);
        medium_ = medium;
    }

    // The file or folder a row shows (pack items: the node's item); null for a
    // pack header. These four give null for a row index past the end.
    CPackItem* Item(size_t row) const;
    // The folder of a folder row, else null.
    CPackFolder* Folder(size_t row) const;
    // The pack of a header or pack item row, else null.
    PackResult* Pack(size_t row) const;
    // The node of a pack item row, else null.
    PackResultNode* Node(size_t row) const;

    // The text of one cell. The rate of a pack header is its fill in per mille
    // ("1" to "1000") or "over"; the drawing turns it into a bar and a percentage.
    // Names that are not valid UTF-8 show U+FFFD for each stray byte.
    std::u16string CellText(size_t row, int column) const;
    RowDrawInfo DrawInfo(size_t row) const;

private:
    std::vector<ListRow> rows_;
    IListRowsObserver* observer_ = nullptr;
    int sizeUnit_ = 0;
    uint64_t packSize_ = 0;
    size_t packCount_ = 0;
    static constexpr uint64_t kImageUnknown = ~uint64_t{0};
    std::function<uint64_t(size_t)> estimateImage_;
    mutable std::vector<uint64_t> packImages_;
    uint64_t medium_ = 0;
};

// References as stored in rows.
inline uint64_t RowRef(const void* p) {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p));
}
