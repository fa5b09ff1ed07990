#include "packing/SplitPackWork.h"

#include <future>
#include <system_error>

void SplitPackWork(const std::vector<PackBin>& packs, size_t minFiles,
                   const std::function<void(size_t from, size_t to)>& work) {
    size_t total = 0;
    for (const PackBin& pack : packs)
        total += pack.items.size();
    size_t split = packs.size();
    if (total >= minFiles) {
        size_t seen = 0;
        for (split = 0; split < packs.size() && seen < total / 2; ++split) {
            seen += packs[split].items.size();
        }
    }
    std::future<void> second;
    if (split < packs.size()) {
        try {
            second = std::async(std::launch::async, work, split, packs.size());
        } catch (const std::system_error&) {
            split = packs.size();
        }
    }
    work(0, split);
    if (second.valid()) second.get();
}
