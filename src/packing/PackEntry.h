#pragma once

#include <cstdint>

// The unit the packing places: one file in no group, or one whole group.
struct PackEntry {
    int32_t key;    // > 0: the file's item number; < 0: minus the group table row
    uint64_t size;  // bytes of the file, or the group's total
};
