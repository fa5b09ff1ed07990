#pragma once

#include <cstdint>
#include <vector>

#include "model/ItemText.h"
#include "packing/ImageSizeEstimate.h"

class CDiscPaths;
class CPackItem;

// The folders that image estimates of many packs meet, each numbered and
// measured when first met: a run of DVD-size packs meets a folder in every
// pack that holds a file below it, tens of times over for the folders near
// the top.
class CImageFolderCache {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    struct Folder {
        const CPackItem* item;
        uint32_t parent;  // kNone below the root
        ItemText name;    // on the disc (CDiscPaths::DiscName)
        CImageSizeEstimate::Shape shape;
    };

    // The disc paths must outlive the cache.
    explicit CImageFolderCache(const CDiscPaths& discPaths) : discPaths_(discPaths) {}

    // The folder's number, kNone for a folder without a parent (the root).
    uint32_t IndexOf(const CPackItem* folder);
    const Folder& At(uint32_t index) const { return folders_[index]; }
    size_t Size() const { return folders_.size(); }
    // Forgets every folder: numbers given before mean nothing after.
    void Clear();

private:
    static size_t Slot(const CPackItem* folder, size_t mask);
    void Grow();

    const CDiscPaths& discPaths_;
    std::vector<Folder> folders_;
    // Open addressing by the folder's address: a number plus one, 0 for none.
    std::vector<uint32_t> slots_;
};
