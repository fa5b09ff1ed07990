#include "packing/FolderBytesCache.h"

#include "model/PackItem.h"
#include "support/TextCodec.h"

const std::string& FolderBytesCache::PathOf(const CPackItem& folder) {
    // Items are at least eight bytes apart; the bits above spread the slots.
    const auto address = reinterpret_cast<uintptr_t>(&folder);
    Slot& slot = slots_[(address >> 3 ^ address >> 18) % kSlots];
    if (slot.folder != &folder) {
        scratch_.clear();
        folder.AppendPath(scratch_);
        slot.bytes.clear();
        zel::EncodeFileNameAppend(scratch_, slot.bytes);
        if (slot.bytes.empty() || slot.bytes.back() != '/') slot.bytes += '/';
        slot.folder = &folder;
    }
    return slot.bytes;
}
