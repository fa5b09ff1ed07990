#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// Max-tree over the packs' free space: finds the leftmost pack with room in
// O(log n), the same pack a scan from the first pack would find.
class FirstFitTree {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // Slots without a pack hold 0, which no entry fits under.
    FirstFitTree() : tree_(2 * leaves_, 0) {}

    // The first pack whose free space is more than size, or npos.
    size_t FindFirst(uint64_t size) const {
        if (tree_[1] <= size) return npos;
        size_t node = 1;
        while (node < leaves_) {
            node = tree_[2 * node] > size ? 2 * node : 2 * node + 1;
        }
        return node - leaves_;
    }

    void Set(size_t index, uint64_t freeSpace) {
        while (index >= leaves_)
            Grow();
        size_t node = index + leaves_;
        tree_[node] = freeSpace;
        for (node >>= 1; node != 0; node >>= 1) {
            tree_[node] = std::max(tree_[2 * node], tree_[2 * node + 1]);
        }
    }

private:
    void Grow() {
        std::vector<uint64_t> grown(4 * leaves_, 0);
        std::copy(tree_.begin() + leaves_, tree_.end(), grown.begin() + 2 * leaves_);
        leaves_ *= 2;
        tree_.swap(grown);
        for (size_t node = leaves_ - 1; node != 0; --node) {
            tree_[node] = std::max(tree_[2 * node], tree_[2 * node + 1]);
        }
    }

    size_t leaves_ = 1024;
    std::vector<uint64_t> tree_;
};
