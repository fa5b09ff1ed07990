#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "packing/SplitPackWork.h"

namespace {

std::vector<PackBin> Packs(const std::vector<size_t>& files) {
    std::vector<PackBin> packs(files.size());
    for (size_t k = 0; k < files.size(); ++k)
        packs[k].items.assign(files[k], nullptr);
    return packs;
}

// A few huge packs at the end, as a real run's small files make them, and
// thousands of one-file packs before them: the work is shared, and every pack
// is worked on once.
TEST(SplitPackWork, EveryPackOnceOnBothWorkers) {
    std::vector<size_t> files(20000, 1);
    files.insert(files.end(), {60000, 50000, 40000});
    const std::vector<PackBin> packs = Packs(files);
    std::vector<std::atomic<int>> seen(packs.size());
    std::atomic<size_t> byWorker[kPackWorkers] = {};
    std::mutex mutex;
    std::set<std::thread::id> threads[kPackWorkers];
    SplitPackWork(packs, 100000, [&](size_t worker, size_t from, size_t to) {
        ASSERT_LT(worker, kPackWorkers);
        ASSERT_LT(from, to);
        {
            std::lock_guard<std::mutex> lock(mutex);
            threads[worker].insert(std::this_thread::get_id());
        }
        for (size_t k = from; k < to; ++k) {
            ++seen[k];
            byWorker[worker] += packs[k].items.size() + 1;
        }
        // Work that takes time, so that the second thread has started before
        // the first could take every run.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    for (size_t k = 0; k < packs.size(); ++k)
        ASSERT_EQ(seen[k].load(), 1) << k;
    // Each worker is one thread of its own.
    EXPECT_EQ(threads[0].size(), 1u);
    EXPECT_EQ(threads[1].size(), 1u);
    EXPECT_NE(*threads[0].begin(), *threads[1].begin());
    // Neither did it all (with runs of 1/64 of the work, a thread that takes
    // none is one that never started).
    EXPECT_GT(byWorker[0].load(), 0u);
    EXPECT_GT(byWorker[1].load(), 0u);

    // Below the threshold, all on this thread at once.
    std::vector<std::pair<size_t, size_t>> calls;
    SplitPackWork(Packs({5, 5, 5}), 100000, [&](size_t worker, size_t from, size_t to) {
        EXPECT_EQ(worker, 0u);
        calls.push_back({from, to});
    });
    EXPECT_EQ(calls, (std::vector<std::pair<size_t, size_t>>{{0, 3}}));
}

TEST(SplitPackWork, AFailureOnEitherThreadReachesTheCaller) {
    const std::vector<PackBin> packs = Packs(std::vector<size_t>(200, 1000));
    for (size_t failing : {size_t{0}, size_t{1}}) {
        EXPECT_THROW(SplitPackWork(packs, 1,
                                   [&](size_t worker, size_t, size_t) {
                                       if (worker == failing) throw std::runtime_error("no room");
                                       std::this_thread::sleep_for(std::chrono::milliseconds(1));
                                   }),
                     std::runtime_error)
            << failing;
    }
}

}  // namespace
