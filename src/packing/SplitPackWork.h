#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "packing/PackRecords.h"

// Work on packs that are independent of each other: work(from, to) runs over
// the packs [0, split) here and [split, size) on a second thread, split where
// half the files are, once the packs hold at least minFiles files; below that,
// or when no thread can be had, over all of them here. What the second thread
// throws is thrown here.
void SplitPackWork(const std::vector<PackBin>& packs, size_t minFiles,
                   const std::function<void(size_t from, size_t to)>& work);
