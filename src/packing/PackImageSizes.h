#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
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

// A pack header's image cell: "イメージ 4.37 GB", with "（収まりません）" added
// when the image exceeds medium; sizes as the list shows them (storedUnit).
std::u16string DescribePackImage(uint64_t image, uint64_t medium, int storedUnit);

// Packing against images: while it lives, every file below root weighs what
// it adds to an image (CImageSizeEstimate::FileCost) instead of its bytes, so a
// run packs blocks and records, not bytes. Restore gives every file its bytes
// back and recounts the packs' totals; the destructor restores the files alone.
class CImageCostScope {
public:
    explicit CImageCostScope(CPackFolder& root);
    ~CImageCostScope();
    CImageCostScope(const CImageCostScope&) = delete;
    CImageCostScope& operator=(const CImageCostScope&) = delete;

    void Restore(std::vector<PackBin>& packs, std::vector<PackResult>& results);

private:
    void Weigh(CPackFolder& folder);
    void RestoreSizes();

    std::vector<std::pair<CPackItem*, uint64_t>> sizes_;
};

// Packing against images: the limit a run starts from so that a pack
// filled to it still leaves room for an empty image's fixed structures.
uint64_t FirstImageFitLimit(uint64_t target);

// The limit for the next run after one at limit gave these images, or limit
// itself when every image is at most target or every pack that is over holds a
// single file (no smaller limit would help it); 0 when no limit is left.
uint64_t NextImageFitLimit(uint64_t limit, const std::vector<PackBin>& packs,
                           const std::vector<uint64_t>& images, uint64_t target);
