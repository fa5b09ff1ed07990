#pragma once

#include <cstddef>
#include <cstdint>

class CPackItem;

// The unit the packing places: one file in no group, or one whole group.
// Twenty bytes, since a run holds one per file: a file's entry refers to its
// item by address, which needs no index to place it, and a group's to its
// table row, told apart by the low bit (items are aligned, so theirs is 0).
#pragma pack(push, 4)
struct PackEntry {
    uint64_t size;   // bytes of the file, or the group's total
    uintptr_t ref;   // the item's address, or (row << 1) | 1
    uint32_t order;  // collection order, which breaks ties of size

    static PackEntry ForFile(CPackItem* item, uint64_t bytes, uint32_t position) {
        return PackEntry{bytes, reinterpret_cast<uintptr_t>(item), position};
    }
    static PackEntry ForGroup(size_t row, uint64_t bytes, uint32_t position) {
        return PackEntry{bytes, (static_cast<uintptr_t>(row) << 1) | 1, position};
    }
    bool IsGroup() const { return (ref & 1) != 0; }
    CPackItem* Item() const { return IsGroup() ? nullptr : reinterpret_cast<CPackItem*>(ref); }
    size_t GroupRow() const { return IsGroup() ? static_cast<size_t>(ref >> 1) : 0; }
};
#pragma pack(pop)

static_assert(sizeof(PackEntry) == 20, "a run holds one entry per file");
