#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CPackItem;

// The encoded paths of recently met folders, for writers that name file after
// file by its folder's path: a pack's files come from folders all over the tree,
// and making each one's path again was most of an export's time. A fixed number
// of slots, picked by the folder's address, keeps the memory small whatever the
// tree's size; a folder that lost its slot is encoded again. A cache must not
// outlive a change of the tree: a new folder may take a freed one's address.
class FolderBytesCache {
public:
    // The folder's path in file-name bytes, ending in "/".
    const std::string& PathOf(const CPackItem& folder);

private:
    struct Slot {
        const CPackItem* folder = nullptr;
        std::string bytes;
    };
    static constexpr size_t kSlots = size_t{1} << 15;

    std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
    std::u16string scratch_;
};
