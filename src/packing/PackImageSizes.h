#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "packing/PackRecords.h"

class CDiscPaths;
class CPackFolder;

// The estimated image size in bytes of every pack (see CImageSizeEstimate),
// with each file at its disc path (see CDiscPaths). Once stop is set, the
// packs not yet estimated are left at 0.
std::vector<uint64_t> EstimatePackImages(const CPackFolder& root, const std::vector<PackBin>& packs,
                                         bool udf, const std::atomic<bool>* stop = nullptr);
// The same for one pack, for callers that need only the packs they show.
uint64_t EstimatePackImage(const CDiscPaths& discPaths, const PackBin& pack, bool udf);

// A pack header's image cell: "4.37 GB", with "（収まりません）" added
// when the image exceeds medium; sizes as the list shows them (storedUnit).
std::u16string DescribePackImage(uint64_t image, uint64_t medium, int storedUnit);

// Packing against images: while it lives, every file below root weighs what
// it adds to an image (CImageSizeEstimate::FileCost) instead of its bytes, so a
// run packs blocks and records, not bytes. Restore gives every file its bytes
// back and recounts the packs' totals, Reweigh its cost again for another run
// (the costs are worked out once); the destructor restores the files alone.
class CImageCostScope {
public:
    explicit CImageCostScope(CPackFolder& root);
    ~CImageCostScope();
    CImageCostScope(const CImageCostScope&) = delete;
    CImageCostScope& operator=(const CImageCostScope&) = delete;

    void Restore(std::vector<PackBin>& packs, std::vector<PackResult>& results);
    void Reweigh();

private:
    struct Weighed {
        CPackItem* item;
        uint64_t bytes;
        uint64_t cost;
    };

    void Weigh(CPackFolder& folder);
    void RestoreSizes();

    std::vector<Weighed> sizes_;
};
