#include "intake/FolderTable.h"

#include <algorithm>
#include <functional>

#include "model/PackItem.h"

uint64_t CFolderTable::Hash(const CPackFolder* parent, ItemText name) {
    uint64_t h =
        std::hash<ItemText>()(name) ^ reinterpret_cast<uintptr_t>(parent) * 0x9E3779B97F4A7C15ull;
    // The slot comes from the low bits: fold the high ones in.
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 29);
}

CPackFolder* CFolderTable::Find(const CPackFolder* parent, std::u16string_view name) const {
    if (slots_.empty()) return nullptr;
    const uint64_t hash = Hash(parent, name);
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask; slots_[i].folder; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.hash == hash && slot.folder->parent == parent &&
            slot.folder->GetFileName() == name) {
            return slot.folder;
        }
    }
    return nullptr;
}

void CFolderTable::Add(CPackFolder* folder) {
    if ((count_ + 1) * 2 > slots_.size()) {
        std::vector<Slot> old(std::max<size_t>(1024, slots_.size() * 2));
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.folder) Place(slot);
        }
    }
    Place({Hash(folder->parent, folder->GetFileName()), folder});
    ++count_;
}

void CFolderTable::Place(const Slot& slot) {
    const size_t mask = slots_.size() - 1;
    size_t i = slot.hash & mask;
    while (slots_[i].folder)
        i = (i + 1) & mask;
    slots_[i] = slot;
}

void CFolderTable::Clear() {
    slots_.clear();
    slots_.shrink_to_fit();
    count_ = 0;
}
