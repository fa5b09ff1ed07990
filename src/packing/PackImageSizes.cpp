#include "packing/PackImageSizes.h"

#include "model/PackItem.h"
#include "packing/ImageSizeEstimate.h"
#include "packing/PackImageEstimator.h"
#include "packing/SplitPackWork.h"
#include "support/SizeFormat.h"
#include "support/UiText.h"

std::vector<uint64_t> EstimatePackImages(const CPackFolder& root, const std::vector<PackBin>& packs,
                                         bool udf, const std::atomic<bool>* stop) {
    CPackImageEstimator estimator(root, packs, udf);
    SplitPackWork(packs, 100000, [&](size_t worker, size_t from, size_t to) {
        for (size_t k = from; k < to && !(stop && stop->load()); ++k)
            estimator.Estimate(worker, k);
    });
    return estimator.TakeImages();
}

uint64_t EstimatePackImage(const CDiscPaths& discPaths, const PackBin& pack, bool udf) {
    return CPackImageEstimator::EstimateOne(discPaths, pack, udf);
}

CImageCostScope::CImageCostScope(CPackFolder& root) {
    Weigh(root);
}

CImageCostScope::~CImageCostScope() {
    RestoreSizes();
}

void CImageCostScope::Weigh(CPackFolder& folder) {
    for (const CPackItemPtr& child : folder.children) {
        if (CPackFolder* sub = child->AsFolder()) {
            Weigh(*sub);
            continue;
        }
        const uint64_t cost = CImageSizeEstimate::FileCost(child->GetFileName(), child->size);
        sizes_.push_back({child.get(), child->size, cost});
        child->size = cost;
    }
}

void CImageCostScope::RestoreSizes() {
    for (const Weighed& w : sizes_)
        w.item->size = w.bytes;
}

void CImageCostScope::Reweigh() {
    for (const Weighed& w : sizes_)
        w.item->size = w.cost;
}

void CImageCostScope::Restore(std::vector<PackBin>& packs, std::vector<PackResult>& results) {
    RestoreSizes();
    for (size_t i = 0; i < packs.size(); ++i) {
        uint64_t used = 0;
        for (const CPackItem* item : packs[i].items)
            used = item->GetSize() > UINT64_MAX - used ? UINT64_MAX : used + item->GetSize();
        packs[i].used = used;
        if (i < results.size()) results[i].size = used;
    }
}

std::u16string DescribePackImage(uint64_t image, uint64_t medium, int storedUnit) {
    std::u16string text = FormatDisplaySize(image, storedUnit);
    if (image > medium) text += Tr16("（収まりません）");
    return text;
}
