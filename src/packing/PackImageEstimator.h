#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "packing/DiscPaths.h"
#include "packing/PackRecords.h"
#include "packing/SplitPackWork.h"

class CPackFolder;

// The estimated image size in bytes of each pack (see CImageSizeEstimate),
// with each file at its disc path (see CDiscPaths), pack by pack as its
// caller's threads come to them: a thread that has just read a pack's items
// (the export, formatting its lines) estimates it while they are at hand.
// Each of the kPackWorkers workers measures the folders it meets once and
// keeps them from pack to pack; two calls with the same worker must not run
// at once, calls with different workers may.
class CPackImageEstimator {
public:
    CPackImageEstimator(const CPackFolder& root, const std::vector<PackBin>& packs, bool udf);
    ~CPackImageEstimator();
    CPackImageEstimator(const CPackImageEstimator&) = delete;
    CPackImageEstimator& operator=(const CPackImageEstimator&) = delete;

    // worker < kPackWorkers, pack < the number of packs.
    void Estimate(size_t worker, size_t pack);
    // Every pack's estimate, 0 for those not estimated.
    std::vector<uint64_t> TakeImages();

    // One pack alone, for callers that need only the packs they show.
    static uint64_t EstimateOne(const CDiscPaths& discPaths, const PackBin& pack, bool udf);

    struct EstimateWork;

private:
    const CDiscPaths discPaths_;
    const std::vector<PackBin>& packs_;
    const bool udf_;
    std::vector<uint64_t> images_;
    std::unique_ptr<EstimateWork> works_[kPackWorkers];
};
