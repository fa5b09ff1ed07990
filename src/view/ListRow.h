#pragma once

#include <cstdint>

// What a row of the main list shows. The reference points at what the row
// stands for and is all a row keeps of it; the cell texts are made when asked.
enum class RowKind : uint8_t {
    File,        // editable mode; reference: the CPackItem
    Folder,      // editable mode; reference: the CPackFolder (as CPackItem*)
    PackHeader,  // packed mode; reference: the PackResult
    PackItem,    // packed mode; reference: the PackResultNode placing the item
};

// The list's columns, in display order.
enum ListColumn : int {
    ColumnPath = 0,
    ColumnSize = 1,
    ColumnGroup = 2,
    ColumnPackNo = 3,
    ColumnRate = 4,
    ColumnImage = 5,  // the packed list's only: each pack's estimated image
    ColumnCount = 6,
};

// 16 bytes a row, so a million rows stay small.
struct ListRow {
    uint64_t ref = 0;
    uint32_t level =
        0;  // tree depth of the item (1 for top level); 0 for a pack header, 1 for its items
    RowKind kind = RowKind::File;

    bool operator==(const ListRow& o) const {
        return ref == o.ref && level == o.level && kind == o.kind;
    }
};
