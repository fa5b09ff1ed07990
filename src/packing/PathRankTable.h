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

    // fileCount: about the files the tree holds, for the table's first size.
    // Once stop is set, the walk gives up between folders and Build refuses.
    [[nodiscard]] bool Build(const CPackFolder& root, size_t fileCount,
                             const std::atomic<bool>* stop = nullptr);

    // The rank of the file with this number; kNone for a number without one.
    uint32_t RankOf(uint32_t id) const;

private:
    struct Walk;

    bool Clear();

    // Ranks by number from first_ on, or, for numbers too far apart, pairs of
    // number and rank sorted by number.
    uint32_t first_ = 0;
    std::vector<uint32_t> dense_;
    std::vector<uint64_t> sparse_;
};
