#include "packing/SplitPackWork.h"

#include <atomic>

#include "support/TwoThreads.h"

namespace {

// Runs per thread: enough that the threads end close together, few enough
// that a run's own setup does not count.
constexpr size_t kRunsPerThread = 32;

}  // namespace

void SplitPackWork(const std::vector<PackBin>& packs, size_t minFiles,
                   const std::function<void(size_t worker, size_t from, size_t to)>& work) {
    size_t files = 0;
    for (const PackBin& pack : packs)
        files += pack.items.size();
    if (files < minFiles || packs.size() < 2) {
        work(0, 0, packs.size());
        return;
    }
    // cuts[r] is where run r starts.
    const size_t total = files + packs.size();
    const size_t runWork = total / (2 * kRunsPerThread) + 1;
    std::vector<size_t> cuts{0};
    size_t inRun = 0;
    for (size_t k = 0; k < packs.size(); ++k) {
        inRun += packs[k].items.size() + 1;
        if (inRun >= runWork && k + 1 < packs.size()) {
            cuts.push_back(k + 1);
            inRun = 0;
        }
    }
    cuts.push_back(packs.size());
    const size_t runs = cuts.size() - 1;

    std::atomic<size_t> next{0};
    // Once one thread fails, the other takes no new run.
    std::atomic<bool> failed{false};
    const auto take = [&](size_t worker) {
        try {
            for (size_t r = next++; r < runs && !failed.load(); r = next++)
                work(worker, cuts[r], cuts[r + 1]);
        } catch (...) {
            failed.store(true);
            throw;
        }
    };
    zel::RunOnTwoThreads(true, take);
}
