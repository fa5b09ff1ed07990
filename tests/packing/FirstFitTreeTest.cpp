#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "packing/FirstFitTree.h"

// The tree must name the pack a scan from the first pack names, also across
// its growth and for sizes at, just under and above a pack's free space.
TEST(FirstFitTree, FindsWhatAScanFromTheFirstPackFinds) {
    std::mt19937_64 random(7);
    FirstFitTree tree;
    std::vector<uint64_t> space;
    const auto scan = [&](uint64_t size) {
        for (size_t i = 0; i < space.size(); ++i) {
            if (space[i] > size) return i;
        }
        return FirstFitTree::npos;
    };
    EXPECT_EQ(tree.FindFirst(0), FirstFitTree::npos);
    size_t jumps = 0;
    for (int step = 0; step < 12000; ++step) {
        // Small sizes often: they reach the leftovers of early packs.
        const uint64_t size = (random() % 1000) >> (random() % 10);
        size_t pack = tree.FindFirst(size);
        ASSERT_EQ(pack, scan(size)) << "step " << step;
        if (pack == FirstFitTree::npos) {
            // Far beyond the last pack now and then: the tree grows past
            // several of its sizes at once.
            pack = space.size() + (jumps * 1500 < static_cast<size_t>(step) ? 20000 : 0);
            jumps += pack != space.size() ? 1 : 0;
            space.resize(pack + 1, 0);
            space[pack] = 1000 + random() % (random() % 8 == 0 ? uint64_t{1} << 40 : 2000);
        }
        space[pack] = random() % 64 == 0 ? 0 : space[pack] - std::min(space[pack], size + 1);
        tree.Set(pack, space[pack]);
        const uint64_t probe = space[pack];
        ASSERT_EQ(tree.FindFirst(probe), scan(probe));
        if (probe > 0) {
            ASSERT_EQ(tree.FindFirst(probe - 1), scan(probe - 1));
        }
    }
    EXPECT_GT(space.size(), 4096u * 8);  // grown twice
}
