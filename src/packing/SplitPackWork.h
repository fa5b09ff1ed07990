#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "packing/PackRecords.h"

// Work on packs that are independent of each other, on this thread and a
// second one once the packs hold at least minFiles files (below that, or when
// no thread can be had, all of it here). The packs are cut into runs of about
// equal work, counting a pack as one file more than it holds: a run's first
// packs hold a few large files each and its last ones thousands of small
// ones, so halves by files alone leave one thread with most of the work. Each
// thread takes the next run when it has done its last: work(worker, from, to)
// is called for the packs [from, to) of every run, each once, where worker is
// 0 on this thread and 1 on the second (state kept per worker needs no lock).
// What the second thread throws is thrown here.
constexpr size_t kPackWorkers = 2;
void SplitPackWork(const std::vector<PackBin>& packs, size_t minFiles,
                   const std::function<void(size_t worker, size_t from, size_t to)>& work);
