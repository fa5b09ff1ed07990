#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/TwoThreadSort.h"

namespace {

// Split in two around a sampled median, the halves sorted apart: the result is
// std::sort's for every shape, including runs of equal keys told apart by a
// second field and ranges already in order or reversed.
TEST(TwoThreadSort, GivesWhatOneThreadGives) {
    std::mt19937_64 rng(7);
    struct Entry {
        uint64_t key;
        uint32_t order;
    };
    const auto less = [](const Entry& a, const Entry& b) {
        return a.key != b.key ? a.key > b.key : a.order < b.order;
    };
    for (int shape = 0; shape < 4; ++shape) {
        std::vector<Entry> entries;
        for (uint32_t i = 0; i < 200000; ++i) {
            const uint64_t key = shape == 0   ? rng()
                                 : shape == 1 ? rng() % 3
                                 : shape == 2 ? i
                                              : 200000 - i;
            entries.push_back({key, i});
        }
        std::vector<Entry> expected = entries;
        std::sort(expected.begin(), expected.end(), less);
        zel::TwoThreadSort(entries.begin(), entries.end(), less);
        for (size_t i = 0; i < entries.size(); ++i) {
            ASSERT_EQ(entries[i].order, expected[i].order) << "shape " << shape << " at " << i;
        }
    }
}

}  // namespace
