#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <future>
#include <vector>

#include "packing/PackRecords.h"
#include "packing/PathRankTable.h"

class CPackFolder;

// Sorts every pack's files by path: ASCII letters folded, and paths that differ
// only in case in a fixed order by their plain code units (ComparePathsNoCase,
// then a code-unit comparison); identical paths keep their order in the pack.
//
// The packs hold files of root's tree, whose path order is found once for all
// of them where the tree allows. It depends on the tree alone, so it is found
// on a second thread from construction on, beside the placement, which only
// reads the tree as well: nothing may change the tree until Sort returns or
// this object goes. Large runs sort on a second thread as well.
class PackPathOrder {
public:
    // fileCount: about the files the tree holds; idLimit: their numbers are
    // expected below it.
    PackPathOrder(const CPackFolder& root, size_t fileCount, uint32_t idLimit);
    // Stops the search for the order, if still under way, and waits for it.
    ~PackPathOrder();
    PackPathOrder(const PackPathOrder&) = delete;
    PackPathOrder& operator=(const PackPathOrder&) = delete;

    void Sort(std::vector<PackBin>& packs);

private:
    bool Ranked();

    const CPackFolder& root_;
    const size_t fileCount_;
    const uint32_t idLimit_;
    PathRankTable ranks_;
    std::atomic<bool> stop_{false};
    std::future<bool> pending_;  // the ranks' Build, when it runs on its own thread
};
