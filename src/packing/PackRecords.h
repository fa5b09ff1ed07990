#pragma once

#include <cstdint>
#include <vector>

class CPackItem;

// A pack while and after packing.
struct PackBin {
    uint64_t used = 0;
    std::vector<CPackItem*> items;  // not owning; path order after a completed run
};

struct PackResult;

// One file of a pack as the list shows it.
struct PackResultNode {
    PackResult* pack = nullptr;
    PackResultNode* next = nullptr;
    PackResultNode* prev = nullptr;
    CPackItem* item = nullptr;
};

// A pack as the list shows it: a doubly linked list of its files.
struct PackResult {
    PackResultNode* head = nullptr;
    PackResultNode* tail = nullptr;
    uint64_t size = 0;
    uint32_t number = 0;
    uint32_t expanded = 0;
    uint32_t count = 0;
};

// Row g + 1 of a run's group table: group g's files and their total size.
struct GroupEntry {
    uint64_t size = 0;
    std::vector<uint32_t> itemIds;
};
