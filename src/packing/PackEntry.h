#pragma once

#include <cstdint>

class CPackItem;

// The unit the packing places: one file in no group, or one whole group.
struct PackEntry {
    int32_t key;     // > 0: the file's item number; < 0: minus the group table row
    uint32_t order;  // collection order, which breaks ties of size
    uint64_t size;   // bytes of the file, or the group's total
    // A single file's item, taken during the walk: placing it then reads no
    // index. Null for a group.
    CPackItem* item;
};
