#include "packing/FirstFitPacker.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "model/PackItem.h"
#include "packing/FirstFitTree.h"
#include "packing/PackEntry.h"
#include "packing/PackNotice.h"
#include "packing/PickupGroup.h"
#include "packing/PickupNoGroup.h"
#include "support/IZelPostTarget.h"
#include "support/PageRelease.h"
#include "support/TwoThreadSort.h"
#include "support/ZelDebugLog.h"

namespace {

constexpr uint64_t kMaxSize = std::numeric_limits<uint64_t>::max();

// Huge sparse files must not wrap a pack's total back into "room left".
uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
    return a > kMaxSize - b ? kMaxSize : a + b;
}

// Room in a pack for the strict fit test: an entry fits when its size is less
// than this, which is used + size < limit without any overflow.
uint64_t FreeSpace(uint64_t used, uint64_t limit) {
    return used < limit ? limit - used : 0;
}

// What the lists need of a placed entry. Written over the entries already
// read, 12 bytes where 20 were, so that the rest of the table is given back
// before the lists fill.
#pragma pack(push, 4)
struct PlacedEntry {
    uintptr_t ref;  // as the entry's
    uint32_t pack;
};
#pragma pack(pop)
static_assert(sizeof(PlacedEntry) < sizeof(PackEntry), "placed entries never overtake the read");

// Both pickups in one walk, which visits each of a million items once instead
// of twice; the grouped files are also indexed, being the only ones placed by
// number.
class CEntryPickup : public CPackItemTraverser {
public:
    CEntryPickup(std::vector<PackEntry>* entries, std::vector<GroupEntry>* table, ItemIndex& index)
        : noGroup_(entries), group_(table), index_(index) {}
    bool VisitItem(CPackItem& item) override {
        if (item.group == NoGroup) return noGroup_.VisitItem(item);
        index_.Add(item.GetId(), &item);
        return group_.VisitItem(item);
    }

private:
    CPickupNoGroup noGroup_;
    CPickupGroup group_;
    ItemIndex& index_;
};

}  // namespace

bool CFirstFitPacker::Collect(CPackFolder& root, uint32_t groupCount,
                              std::vector<GroupEntry>& groupTable, size_t expectedFiles) {
    // Sized once: a million entries grown by doubling would leave a third of
    // their memory unused at the peak.
    entries_.reserve(expectedFiles);

    ZEL_DEBUG_LOG("packing : entry no group item...");
    ZEL_DEBUG_LOG("packing : pickup group item...");
    groupTable.resize(static_cast<size_t>(groupCount) + 1);
    CEntryPickup pickup(&entries_, &groupTable, index_);
    root.Accept(pickup);
    if (Cancelled()) return false;

    ZEL_DEBUG_LOG("packing : entry group...");
    for (size_t row = 1; row < groupTable.size(); ++row) {
        if (groupTable[row].itemIds.empty()) continue;
        entries_.push_back(
            PackEntry::ForGroup(row, groupTable[row].size, static_cast<uint32_t>(entries_.size())));
    }
    if (Cancelled()) return false;

    ZEL_DEBUG_LOG("packing : sorting entry item...");
    index_.Build();
    // Equal sizes keep collection order, so a run is reproducible; the order
    // field makes that so without the buffer a stable sort would need.
    zel::TwoThreadSort(entries_.begin(), entries_.end(),
                       [](const PackEntry& a, const PackEntry& b) {
                           return a.size != b.size ? a.size > b.size : a.order < b.order;
                       });
    return !Cancelled();
}

bool CFirstFitPacker::Place(uint64_t limit, const std::vector<GroupEntry>& groupTable,
                            std::vector<PackBin>& packs) {
    ZEL_DEBUG_LOG("packing : packing...");
    const uint64_t n = entries_.size();
    FirstFitTree tree;
    std::vector<uint64_t> used;    // per pack
    std::vector<uint32_t> counts;  // files per pack
    std::vector<CPackItem*> files;
    uint64_t lastPercent = 0;
    uint64_t placed = 0;
    bool cancelled = false;

    // First where each entry goes; then the packs' lists, each allocated once
    // at its size.
    auto* const placedEntries = reinterpret_cast<unsigned char*>(entries_.data());
    constexpr uint64_t kReleaseRun = 1 << 16;
    for (uint64_t i = 0; i < n; ++i) {
        // Between the placed entries and those still to read lies room that
        // nothing reads again.
        if (i % kReleaseRun == 0 && i > 0) {
            zel::ReleasePages(placedEntries + i * sizeof(PlacedEntry),
                              placedEntries + i * sizeof(PackEntry));
        }
        const PackEntry entry = entries_[i];
        FilesOf(entry, groupTable, files);
        PlacedEntry placedEntry{entry.ref, kUnplaced};
        // A number the tree no longer has is skipped; a pack never holds a null.
        if (!files.empty()) {
            const uint64_t size = entry.size;
            size_t packIndex = tree.FindFirst(size);
            if (packIndex != FirstFitTree::npos) {
                used[packIndex] = SaturatingAdd(used[packIndex], size);
                counts[packIndex] += static_cast<uint32_t>(files.size());
            } else {
                packIndex = used.size();
                used.push_back(size);
                counts.push_back(static_cast<uint32_t>(files.size()));
            }
            placedEntry.pack = static_cast<uint32_t>(packIndex);
            tree.Set(packIndex, FreeSpace(used[packIndex], limit));
            if (entry.IsGroup())
                ZEL_DEBUG_LOG(" GROUP({}) IN PACK[{}]", entry.GroupRow(), packIndex);
        }
        // Behind the entries still to read: they start 20 bytes on.
        std::memcpy(placedEntries + i * sizeof(PlacedEntry), &placedEntry, sizeof(PlacedEntry));
        placed = i + 1;

        if (Cancelled()) {
            cancelled = true;
            break;
        }
        if (progress_) {
            // Only a change of percentage is posted: a million entries would
            // otherwise flood the window's queue with repeated values.
            const uint64_t percent = i * 100 / n;
            if (i == 0 || percent != lastPercent) {
                progress_->Post(ZelNotice(PackNotice::Progress, static_cast<int64_t>(percent)));
                lastPercent = percent;
            }
        }
    }

    // A cancelled run still leaves the packs built so far.
    packs.resize(used.size());
    for (size_t k = 0; k < packs.size(); ++k) {
        packs[k].used = used[k];
        packs[k].items.reserve(counts[k]);
    }
    // The lists fill as the placed entries are read: those read so far give
    // their pages back, so the two never take their whole room together.
    zel::ReleasePages(placedEntries + placed * sizeof(PlacedEntry),
                      placedEntries + n * sizeof(PackEntry));
    for (uint64_t i = 0; i < placed; ++i) {
        if (i % kReleaseRun == 0 && i > 0) {
            zel::ReleasePages(placedEntries + (i - kReleaseRun) * sizeof(PlacedEntry),
                              placedEntries + i * sizeof(PlacedEntry));
        }
        PlacedEntry placedEntry;
        std::memcpy(&placedEntry, placedEntries + i * sizeof(PlacedEntry), sizeof(PlacedEntry));
        if (placedEntry.pack == kUnplaced) continue;
        FilesOf(PackEntry{0, placedEntry.ref, 0}, groupTable, files);
        std::vector<CPackItem*>& items = packs[placedEntry.pack].items;
        items.insert(items.end(), files.begin(), files.end());
    }
    // Read once: nothing may look at them again.
    entries_ = std::vector<PackEntry>();
    return !cancelled;
}

void CFirstFitPacker::FilesOf(const PackEntry& entry, const std::vector<GroupEntry>& groupTable,
                              std::vector<CPackItem*>& files) const {
    files.clear();
    if (!entry.IsGroup()) {
        if (CPackItem* item = entry.Item()) files.push_back(item);
        return;
    }
    const size_t row = entry.GroupRow();
    if (row >= groupTable.size()) return;
    for (uint32_t id : groupTable[row].itemIds) {
        if (CPackItem* item = index_.Find(id)) files.push_back(item);
    }
}
