#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

class CPackFolder;

// Every file's place in the path order of the whole tree, from one walk that
// sorts each folder's children once. Ordering a pack's files then compares
// numbers instead of building and comparing their paths.
//
// The order is the one of whole paths, ASCII letters folded and then plain code
// units: a child below a folder is placed by its name, with "/" after a
// folder's, since that is what its descendants' paths hold at that point.
// Some trees have paths that a per-folder order cannot place, and Build
// refuses them: two folders whose names differ only in case (their files
// interleave), a top-level folder whose path begins another top-level path,
// identical paths, an item below the top level that keeps a path of its own,
// and item numbers that repeat.
class PathRankTable {
public:
    static constexpr uint32_t kNone = ~uint32_t{0};

    // fileCount: about the files the tree holds; idLimit: the item numbers
    // are expected below it (0: no guess). Both only size the table.
    // Once stop is set, the walk gives up between folders and Build refuses.
    [[nodiscard]] bool Build(const CPackFolder& root, size_t fileCount, uint32_t idLimit = 0,
                             const std::atomic<bool>* stop = nullptr);

    // The rank of the file with this number; kNone for a number without one.
    uint32_t RankOf(uint32_t id) const;

private:
    struct Walk;

    // The next file in path order has this number; false when it is repeated.
    bool Add(uint32_t id);
    static bool Dense(size_t idLimit, size_t files);
    bool Clear();

    // Ranks by number below the table's end; pairs of number and rank, sorted
    // by number, for those above it, and for all when the table was mostly holes.
    std::vector<uint32_t> dense_;
    std::vector<uint64_t> sparse_;
    uint32_t count_ = 0;
};
