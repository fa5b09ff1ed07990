#include "packing/FirstFitPacker.h"

#include <algorithm>
#include <limits>

#include "model/PackItem.h"
#include "packing/FirstFitTree.h"
#include "packing/PackEntry.h"
#include "packing/PackNotice.h"
#include "packing/PickupGroup.h"
#include "packing/PickupNoGroup.h"
#include "support/IZelPostTarget.h"
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

// Collects the single-file entries and, in the same walk, indexes every file.
class CIndexingPickupNoGroup : public CPickupNoGroup {
public:
    CIndexingPickupNoGroup(std::vector<PackEntry>* entries, ItemIndex& index)
        : CPickupNoGroup(entries), index_(index) {}
    bool VisitItem(CPackItem& item) override {
        index_.Add(item.GetId(), &item);
        return CPickupNoGroup::VisitItem(item);
    }

private:
    ItemIndex& index_;
};

}  // namespace

bool CFirstFitPacker::Collect(CPackFolder& root, uint32_t groupCount,
                              std::vector<GroupEntry>& groupTable) {
    std::vector<PackEntry> entries;

    ZEL_DEBUG_LOG("packing : entry no group item...");
    CIndexingPickupNoGroup pickupNoGroup(&entries, index_);
    root.Accept(pickupNoGroup);
    if (Cancelled()) return false;

    ZEL_DEBUG_LOG("packing : pickup group item...");
    groupTable.resize(static_cast<size_t>(groupCount) + 1);
    CPickupGroup pickupGroup(&groupTable);
    root.Accept(pickupGroup);
    if (Cancelled()) return false;

    ZEL_DEBUG_LOG("packing : entry group...");
    for (size_t row = 1; row < groupTable.size(); ++row) {
        if (groupTable[row].itemIds.empty()) continue;
        entries.push_back(PackEntry{-static_cast<int32_t>(row), groupTable[row].size});
    }
    if (Cancelled()) return false;

    ZEL_DEBUG_LOG("packing : sorting entry item...");
    index_.Build();
    sorted_.reserve(entries.size());
    for (const PackEntry& entry : entries) {
        CPackItem* item = entry.key >= 0 ? index_.Find(static_cast<uint32_t>(entry.key)) : nullptr;
        sorted_.push_back(
            SortedEntry{entry.size, item, entry.key, static_cast<uint32_t>(sorted_.size())});
    }
    entries = std::vector<PackEntry>();
    // Equal sizes keep collection order, so a run is reproducible; the order
    // field makes that so without the buffer a stable sort would need.
    std::sort(sorted_.begin(), sorted_.end(), [](const SortedEntry& a, const SortedEntry& b) {
        return a.size != b.size ? a.size > b.size : a.order < b.order;
    });
    return !Cancelled();
}

bool CFirstFitPacker::Place(uint64_t limit, const std::vector<GroupEntry>& groupTable,
                            std::vector<PackBin>& packs) {
    ZEL_DEBUG_LOG("packing : packing...");
    const uint64_t n = sorted_.size();
    FirstFitTree tree;
    std::vector<CPackItem*> files;
    uint64_t lastPercent = 0;

    for (uint64_t i = 0; i < n; ++i) {
        const SortedEntry& entry = sorted_[i];
        const bool isGroup = entry.key < 0;
        const size_t row = isGroup ? static_cast<size_t>(-static_cast<int64_t>(entry.key)) : 0;

        files.clear();
        if (!isGroup) {
            if (entry.item) files.push_back(entry.item);
        } else if (row < groupTable.size()) {
            for (uint32_t id : groupTable[row].itemIds) {
                if (CPackItem* item = index_.Find(id)) files.push_back(item);
            }
        }

        // A number the tree no longer has is skipped; a pack never holds a null.
        if (!files.empty()) {
            size_t packIndex = tree.FindFirst(entry.size);
            if (packIndex != FirstFitTree::npos) {
                PackBin& pack = packs[packIndex];
                pack.items.insert(pack.items.end(), files.begin(), files.end());
                pack.used = SaturatingAdd(pack.used, entry.size);
            } else {
                packIndex = packs.size();
                packs.emplace_back();
                packs.back().used = entry.size;
                packs.back().items.assign(files.begin(), files.end());
            }
            tree.Set(packIndex, FreeSpace(packs[packIndex].used, limit));
            if (isGroup) ZEL_DEBUG_LOG(" GROUP({}) IN PACK[{}]", row, packIndex);
        }

        if (Cancelled()) return false;
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
    return true;
}
