#include "packing/PackImageSizes.h"

#include <algorithm>
#include <functional>

#include "model/PackItem.h"
#include "packing/DiscPaths.h"
#include "packing/ImageSizeEstimate.h"
#include "packing/SplitPackWork.h"
#include "support/SizeFormat.h"
#include "support/UiText.h"

namespace {

uint64_t Estimate(const CDiscPaths& discPaths, const PackBin& pack, CImageSizeEstimate& estimate,
                  std::vector<const CPackItem*>& folders) {
    const std::vector<CPackItem*>& items = pack.items;
    // The pack's folders, each once: every file's folder and those above it
    // up to the top-level item. A pack may hold a folder per file, so they are
    // found by address in one sorted list rather than one table entry each.
    folders.clear();
    const CPackItem* lastParent = nullptr;
    for (size_t j = 0; j < items.size(); ++j) {
        if (j + 16 < items.size()) __builtin_prefetch(items[j + 16]);
        if (items[j]->parent == lastParent) continue;
        lastParent = items[j]->parent;
        for (const CPackItem* up = lastParent; up && up->parent; up = up->parent)
            folders.push_back(up);
    }
    const std::less<const CPackItem*> before;
    std::sort(folders.begin(), folders.end(), before);
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    const auto numberOf = [&](const CPackItem* folder) {
        if (!folder || !folder->parent) return CImageSizeEstimate::kRoot;
        const auto at = std::lower_bound(folders.begin(), folders.end(), folder, before);
        return static_cast<uint32_t>(at - folders.begin()) + 1;
    };

    estimate.Clear();
    estimate.Reserve(folders.size() + items.size());
    for (const CPackItem* folder : folders)  // numbered 1, 2, ... in this order
        estimate.AddFolder(numberOf(folder->parent), discPaths.DiscName(*folder));
    lastParent = nullptr;
    uint32_t lastNumber = CImageSizeEstimate::kRoot;
    for (size_t j = 0; j < items.size(); ++j) {
        if (j + 16 < items.size()) __builtin_prefetch(items[j + 16]);
        if (j + 8 < items.size()) items[j + 8]->PrefetchText();
        const CPackItem* item = items[j];
        if (item->parent != lastParent || j == 0) {
            lastParent = item->parent;
            lastNumber = numberOf(lastParent);
        }
        estimate.AddFileTo(lastNumber, discPaths.DiscName(*item), item->GetSize());
    }
    return estimate.Bytes();
}

}  // namespace

std::vector<uint64_t> EstimatePackImages(const CPackFolder& root, const std::vector<PackBin>& packs,
                                         bool udf, const std::atomic<bool>* stop) {
    const CDiscPaths discPaths(root);
    std::vector<uint64_t> images(packs.size());
    SplitPackWork(packs, 100000, [&](size_t from, size_t to) {
        // One estimate and list of folders for all the packs of this thread.
        CImageSizeEstimate estimate(udf);
        std::vector<const CPackItem*> folders;
        for (size_t k = from; k < to && !(stop && stop->load()); ++k)
            images[k] = Estimate(discPaths, packs[k], estimate, folders);
    });
    return images;
}

uint64_t EstimatePackImage(const CDiscPaths& discPaths, const PackBin& pack, bool udf) {
    CImageSizeEstimate estimate(udf);
    std::vector<const CPackItem*> folders;
    return Estimate(discPaths, pack, estimate, folders);
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
