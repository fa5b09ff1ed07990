#include "packing/ImageFolderCache.h"

#include "model/PackItem.h"
#include "packing/DiscPaths.h"

size_t CImageFolderCache::Slot(const CPackItem* folder, size_t mask) {
    const auto key = reinterpret_cast<uintptr_t>(folder);
    return static_cast<size_t>((key >> 3) * 0x9E3779B97F4A7C15ull >> 20) & mask;
}

uint32_t CImageFolderCache::IndexOf(const CPackItem* folder) {
    if (!folder || !folder->parent) return kNone;
    if (!slots_.empty()) {
        const size_t mask = slots_.size() - 1;
        for (size_t s = Slot(folder, mask);; s = (s + 1) & mask) {
            const uint32_t held = slots_[s];
            if (held == 0) break;
            if (folders_[held - 1].item == folder) return held - 1;
        }
    }
    // First met: its parents are numbered first, so that a number is never
    // taken before the folder is whole.
    const uint32_t parent = IndexOf(folder->parent);
    const ItemText name = discPaths_.DiscName(*folder);
    const auto index = static_cast<uint32_t>(folders_.size());
    folders_.push_back({folder, parent, name, CImageSizeEstimate::Measure(name, true)});
    if (folders_.size() * 2 > slots_.size()) {
        Grow();
    } else {
        const size_t mask = slots_.size() - 1;
        size_t s = Slot(folder, mask);
        while (slots_[s] != 0)
            s = (s + 1) & mask;
        slots_[s] = index + 1;
    }
    return index;
}

void CImageFolderCache::Clear() {
    folders_.clear();
    slots_.clear();
}

// Twice the room, every folder placed again (the new one included).
void CImageFolderCache::Grow() {
    slots_.assign(slots_.empty() ? 64 : slots_.size() * 2, 0);
    const size_t mask = slots_.size() - 1;
    for (size_t i = 0; i < folders_.size(); ++i) {
        size_t s = Slot(folders_[i].item, mask);
        while (slots_[s] != 0)
            s = (s + 1) & mask;
        slots_[s] = static_cast<uint32_t>(i) + 1;
    }
}
