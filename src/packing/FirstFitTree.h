#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

// Max-tree over the packs' free space: finds the leftmost pack with room in
// O(log n), the same pack a scan from the first pack would find.
//
// Each node holds the maxima of eight children in one cache line. Hundreds
// of thousands of packs make a tree larger than the caches; a binary tree's
// walk then waited on a line for nearly every level, this one on a line for
// every three.
class FirstFitTree {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // Slots without a pack hold 0, which no entry fits under.
    FirstFitTree() { Build(kFan * kFan * kFan * kFan); }

    // The first pack whose free space is more than size, or npos.
    size_t FindFirst(uint64_t size) const {
        size_t index = 0;
        for (size_t level = levels_.size(); level-- > 0;) {
            const uint64_t* node = levels_[level] + index * kFan;
            unsigned fits = 0;
            for (unsigned j = 0; j < kFan; ++j)
                fits |= static_cast<unsigned>(node[j] > size) << j;
            if (fits == 0) return npos;  // only at the top: a parent promised a child
            index = index * kFan + static_cast<size_t>(__builtin_ctz(fits));
        }
        return index;
    }

    void Set(size_t index, uint64_t freeSpace) {
        while (index >= capacity_)
            Grow();
        levels_[0][index] = freeSpace;
        for (size_t level = 1; level < levels_.size(); ++level) {
            const size_t child = index / kFan * kFan;
            index /= kFan;
            const uint64_t* node = levels_[level - 1] + child;
            uint64_t most = node[0];
            for (unsigned j = 1; j < kFan; ++j)
                most = std::max(most, node[j]);
            levels_[level][index] = most;
        }
    }

private:
    static constexpr size_t kFan = 8;
    static constexpr size_t kLine = kFan * sizeof(uint64_t);

    // Levels from the leaves up; the top one is a single node.
    void Build(size_t capacity) {
        capacity_ = capacity;
        levels_.clear();
        size_t total = 0;
        for (size_t n = capacity; n >= kFan; n /= kFan)
            total += n;
        storage_.reset(new uint64_t[total + kFan]);
        // Nodes start on a line: a node is one line, not two.
        auto* at = reinterpret_cast<uint64_t*>(
            (reinterpret_cast<uintptr_t>(storage_.get()) + kLine - 1) / kLine * kLine);
        std::memset(at, 0, total * sizeof(uint64_t));
        for (size_t n = capacity; n >= kFan; n /= kFan) {
            levels_.push_back(at);
            at += n;
        }
    }

    void Grow() {
        const std::vector<uint64_t> leaves(levels_[0], levels_[0] + capacity_);
        Build(capacity_ * kFan);
        for (size_t i = 0; i < leaves.size(); ++i) {
            if (leaves[i] != 0) Set(i, leaves[i]);
        }
    }

    size_t capacity_ = 0;
    std::unique_ptr<uint64_t[]> storage_;
    std::vector<uint64_t*> levels_;
};
