#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "packing/ItemIndex.h"
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
    // for group g, groupCount + 1 rows).
    [[nodiscard]] bool Collect(CPackFolder& root, uint32_t groupCount,
                               std::vector<GroupEntry>& groupTable);
    // Places the collected entries, appending to packs (the caller's, empty).
    [[nodiscard]] bool Place(uint64_t limit, const std::vector<GroupEntry>& groupTable,
                             std::vector<PackBin>& packs);

private:
    // An entry with its file already looked up. Single files are resolved while
    // the entries still stand in tree order, where the index is read in
    // sequence, so the placement in size order never reads the index at random.
    struct SortedEntry {
        uint64_t size;
        CPackItem* item;  // the file of a single-file entry; null for a group
        int32_t key;      // > 0: the file's item number; < 0: minus the group's row
        uint32_t order;   // collection order, which breaks ties of size
    };

    bool Cancelled() const { return cancel_.load() != 0; }

    const std::atomic<uint32_t>& cancel_;
    IZelPostTarget* progress_;
    ItemIndex index_;
    std::vector<SortedEntry> sorted_;
};
