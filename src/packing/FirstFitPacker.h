#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "packing/ItemIndex.h"
#include "packing/PackEntry.h"
#include "packing/PackRecords.h"

class CPackFolder;
class CPackItem;
class IZelPostTarget;

// The first-fit-decreasing placement of one run: every file in no group and
// every group with files is one entry; entries go largest first into the first
// pack where used + size stays below the limit, or else into a new pack. Both
// steps return false as soon as the cancel flag is set.
class CFirstFitPacker {
public:
    // progress may be null; it gets PackNotice::Progress after placed entries.
    CFirstFitPacker(const std::atomic<uint32_t>& cancelFlag, IZelPostTarget* progress)
        : cancel_(cancelFlag), progress_(progress) {}

    // Collects and sorts the entries of root's tree; fills groupTable (row g + 1
    // for group g, groupCount + 1 rows). expectedFiles: about how many files
    // the tree holds, for the entries' table.
    [[nodiscard]] bool Collect(CPackFolder& root, uint32_t groupCount,
                               std::vector<GroupEntry>& groupTable, size_t expectedFiles = 0);
    // Places the collected entries, appending to packs (the caller's, empty).
    // A cancelled run leaves the packs as far as they were built.
    [[nodiscard]] bool Place(uint64_t limit, const std::vector<GroupEntry>& groupTable,
                             std::vector<PackBin>& packs);

private:
    static constexpr uint32_t kUnplaced = ~uint32_t{0};

    bool Cancelled() const { return cancel_.load() != 0; }
    // The entry's files, in the order a pack lists them.
    void FilesOf(const PackEntry& entry, const std::vector<GroupEntry>& groupTable,
                 std::vector<CPackItem*>& files) const;

    const std::atomic<uint32_t>& cancel_;
    IZelPostTarget* progress_;
    ItemIndex index_;  // of the grouped files
    std::vector<PackEntry> entries_;
};
