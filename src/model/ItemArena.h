#pragma once

#include <cstddef>

// Blocks for the items of the tree, cut in turn from large slabs. A file's item
// and its name take about a hundred bytes; one allocation each would add a
// header and rounding to every one of them, a sixth of a large scan's memory,
// and most of the time a scan spends beyond its listing.
//
// Each thread cuts from a slab of its own, so the walk never waits on a lock.
// A slab goes back to the system when its last block is freed and no thread
// cuts from it any more: blocks freed one by one (items removed from the list)
// keep their slab until its neighbours go too.
class CItemArena {
public:
    // The largest block Allocate gives, and the alignment of every block.
    static constexpr size_t kMaxBlock = 4096;
    static constexpr size_t kAlign = 8;

    // At most kMaxBlock bytes. Any thread.
    static void* Allocate(size_t bytes);
    // A block from Allocate, on any thread.
    static void Free(void* block);
};
