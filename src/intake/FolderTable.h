#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/ItemText.h"

class CPackFolder;

// The folders an inventory has made, by parent and name. An object store or a
// mail folder lists hundreds of thousands of folders in one, so a folder here
// costs one pointer and its hash: no node and no copy of its path, which
// cost as much as the rest of reading the inventory.
class CFolderTable {
public:
    // The folder named name below parent, or null.
    CPackFolder* Find(const CPackFolder* parent, std::u16string_view name) const;
    // Its parent and name must not change while it is in the table.
    void Add(CPackFolder* folder);
    void Clear();

private:
    struct Slot {
        uint64_t hash = 0;
        CPackFolder* folder = nullptr;
    };

    static uint64_t Hash(const CPackFolder* parent, ItemText name);
    void Place(const Slot& slot);

    std::vector<Slot> slots_;  // a power of two, at most half of them taken
    size_t count_ = 0;
};
