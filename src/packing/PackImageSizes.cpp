#include "packing/PackImageSizes.h"

#include <algorithm>

#include "model/PackItem.h"
#include "packing/DiscPaths.h"
#include "packing/ImageSizeEstimate.h"
#include "support/SizeFormat.h"

namespace {

// Each further run gives up at least this much, so the search ends quickly.
constexpr uint64_t kMinStep = 64 * CImageSizeEstimate::kBlock;

}  // namespace

std::vector<uint64_t> EstimatePackImages(const CPackFolder& root, const std::vector<PackBin>& packs,
                                         bool udf) {
    const CDiscPaths discPaths(root);
    std::vector<uint64_t> images;
    images.reserve(packs.size());
    for (const PackBin& pack : packs)
        images.push_back(EstimatePackImage(discPaths, pack, udf));
    return images;
}

uint64_t EstimatePackImage(const CDiscPaths& discPaths, const PackBin& pack, bool udf) {
    CImageSizeEstimate estimate(udf);
    // Files come folder by folder: each folder's disc path is made once.
    const CPackItem* lastParent = nullptr;
    std::u16string folder;
    for (const CPackItem* item : pack.items) {
        const CPackItem* parent = item->parent;
        if (!parent || !parent->parent) {  // a dropped file
            estimate.AddFile(discPaths.DiscPath(*item), item->GetSize());
            continue;
        }
        if (parent != lastParent) {
            folder = discPaths.DiscPath(*parent);
            lastParent = parent;
        }
        const std::u16string_view path = item->GetPath();
        estimate.AddFileIn(folder, path.substr(path.rfind(u'/') + 1), item->GetSize());
    }
    return estimate.Bytes();
}

uint64_t FirstImageFitLimit(uint64_t target) {
    const uint64_t empty = CImageSizeEstimate().Bytes();
    return target > empty ? target - empty : 0;
}

uint64_t NextImageFitLimit(uint64_t limit, const std::vector<PackBin>& packs,
                           const std::vector<uint64_t>& images, uint64_t target) {
    uint64_t over = 0;
    for (size_t i = 0; i < packs.size() && i < images.size(); ++i) {
        if (images[i] > target && packs[i].items.size() > 1)
            over = std::max(over, images[i] - target);
    }
    if (over == 0) return limit;
    const uint64_t step = std::max(over, kMinStep);
    return limit > step ? limit - step : 0;
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
        const std::u16string_view path = child->GetPath();
        const size_t slash = path.rfind(u'/');
        sizes_.emplace_back(child.get(), child->size);
        child->size = CImageSizeEstimate::FileCost(
            slash == std::u16string_view::npos ? path : path.substr(slash + 1), child->size);
    }
}

void CImageCostScope::RestoreSizes() {
    for (const auto& [item, size] : sizes_)
        item->size = size;
    sizes_.clear();
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
    std::u16string text = u"イメージ " + FormatDisplaySize(image, storedUnit);
    if (image > medium) text += u"（収まりません）";
    return text;
}
