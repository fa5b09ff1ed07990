#include "packing/PackImageSizes.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "model/PackItem.h"
#include "packing/DiscPaths.h"
#include "packing/ImageSizeEstimate.h"
#include "packing/SplitPackWork.h"
#include "support/SizeFormat.h"

namespace {

// Each further run gives up at least this much, so the search ends quickly.
constexpr uint64_t kMinStep = 64 * CImageSizeEstimate::kBlock;

}  // namespace

std::vector<uint64_t> EstimatePackImages(const CPackFolder& root, const std::vector<PackBin>& packs,
                                         bool udf) {
    const CDiscPaths discPaths(root);
    std::vector<uint64_t> images(packs.size());
    SplitPackWork(packs, 100000, [&](size_t from, size_t to) {
        for (size_t k = from; k < to; ++k)
            images[k] = EstimatePackImage(discPaths, packs[k], udf);
    });
    return images;
}

uint64_t EstimatePackImage(const CDiscPaths& discPaths, const PackBin& pack, bool udf) {
    CImageSizeEstimate estimate(udf);
    // A pack's files come from folders all over the tree: each folder is
    // entered once, by the item, and its names are read from the items.
    std::unordered_map<const CPackItem*, uint32_t> folders;
    const std::function<uint32_t(const CPackItem*)> folderOf = [&](const CPackItem* folder) {
        if (!folder || !folder->parent) return CImageSizeEstimate::kRoot;
        auto it = folders.find(folder);
        if (it != folders.end()) return it->second;
        const uint32_t index =
            estimate.AddFolder(folderOf(folder->parent), discPaths.DiscName(*folder));
        folders.emplace(folder, index);
        return index;
    };
    const CPackItem* lastParent = nullptr;
    uint32_t lastFolder = CImageSizeEstimate::kRoot;
    const std::vector<CPackItem*>& items = pack.items;
    for (size_t j = 0; j < items.size(); ++j) {
        if (j + 16 < items.size()) __builtin_prefetch(items[j + 16]);
        if (j + 8 < items.size()) items[j + 8]->PrefetchText();
        const CPackItem* item = items[j];
        if (item->parent != lastParent || !lastParent) {
            lastParent = item->parent;
            lastFolder = folderOf(lastParent);
        }
        estimate.AddFileTo(lastFolder, discPaths.DiscName(*item), item->GetSize());
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
        sizes_.emplace_back(child.get(), child->size);
        child->size = CImageSizeEstimate::FileCost(child->GetFileName(), child->size);
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
