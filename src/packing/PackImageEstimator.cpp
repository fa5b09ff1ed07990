#include "packing/PackImageEstimator.h"

#include <algorithm>
#include <functional>

#include "model/PackItem.h"
#include "packing/ImageFolderCache.h"
#include "packing/ImageSizeEstimate.h"

namespace {

// Folders a thread keeps measured: a tree of a folder per file would
// otherwise keep a million of them on each thread.
constexpr size_t kKeptFolders = size_t{1} << 16;

}  // namespace

// What the estimates of one thread keep from pack to pack.
struct CPackImageEstimator::EstimateWork {
    explicit EstimateWork(const CDiscPaths& discPaths, bool udf)
        : folders(discPaths), estimate(udf) {}

    CImageFolderCache folders;
    CImageSizeEstimate estimate;
    // seen[f] == stamp: folder f is in the pack at hand.
    std::vector<uint32_t> seen;
    uint32_t stamp = 0;
    std::vector<uint32_t> found;     // the pack's folders
    std::vector<uint32_t> number;    // a found folder's number in the estimate
    std::vector<uint32_t> parentOf;  // each file's folder
};

namespace {

uint64_t Estimate(const CDiscPaths& discPaths, const PackBin& pack,
                  CPackImageEstimator::EstimateWork& work) {
    const std::vector<CPackItem*>& items = pack.items;
    CImageFolderCache& folders = work.folders;
    if (folders.Size() > kKeptFolders) {
        folders.Clear();
        work.seen = std::vector<uint32_t>();
        work.number = std::vector<uint32_t>();
    }
    if (++work.stamp == 0) {
        std::fill(work.seen.begin(), work.seen.end(), 0);
        work.stamp = 1;
    }
    // The pack's folders, each once: every file's folder and those above it
    // up to the top-level item. A folder seen already in this pack has its
    // own parents counted too.
    work.found.clear();
    work.parentOf.resize(items.size());
    const CPackItem* lastParent = nullptr;
    uint32_t lastIndex = CImageFolderCache::kNone;
    for (size_t j = 0; j < items.size(); ++j) {
        if (j + 16 < items.size()) __builtin_prefetch(items[j + 16]);
        if (items[j]->parent != lastParent || j == 0) {
            lastParent = items[j]->parent;
            lastIndex = folders.IndexOf(lastParent);
            if (work.seen.size() < folders.Size()) {
                work.seen.resize(folders.Size() * 2, 0);
                work.number.resize(work.seen.size());
            }
            for (uint32_t f = lastIndex;
                 f != CImageFolderCache::kNone && work.seen[f] != work.stamp;
                 f = folders.At(f).parent) {
                work.seen[f] = work.stamp;
                work.found.push_back(f);
            }
        }
        work.parentOf[j] = lastIndex;
    }
    // Numbered 1, 2, ... in the order of their addresses.
    std::sort(work.found.begin(), work.found.end(), [&folders](uint32_t a, uint32_t b) {
        return std::less<const CPackItem*>()(folders.At(a).item, folders.At(b).item);
    });
    for (size_t k = 0; k < work.found.size(); ++k)
        work.number[work.found[k]] = static_cast<uint32_t>(k) + 1;
    const auto numberOf = [&work](uint32_t f) {
        return f == CImageFolderCache::kNone ? CImageSizeEstimate::kRoot : work.number[f];
    };

    CImageSizeEstimate& estimate = work.estimate;
    estimate.Clear();
    estimate.Reserve(work.found.size() + items.size());
    for (const uint32_t f : work.found) {
        const CImageFolderCache::Folder& folder = folders.At(f);
        estimate.AddFolder(numberOf(folder.parent), folder.name, folder.shape);
    }
    for (size_t j = 0; j < items.size(); ++j) {
        if (j + 16 < items.size()) __builtin_prefetch(items[j + 16]);
        if (j + 8 < items.size()) items[j + 8]->PrefetchText();
        const CPackItem* item = items[j];
        estimate.AddFileTo(numberOf(work.parentOf[j]), discPaths.DiscName(*item), item->GetSize());
    }
    return estimate.Bytes();
}

}  // namespace

CPackImageEstimator::CPackImageEstimator(const CPackFolder& root, const std::vector<PackBin>& packs,
                                         bool udf)
    : discPaths_(root), packs_(packs), udf_(udf), images_(packs.size()) {}

CPackImageEstimator::~CPackImageEstimator() = default;

void CPackImageEstimator::Estimate(size_t worker, size_t pack) {
    std::unique_ptr<EstimateWork>& work = works_[worker];
    if (!work) work = std::make_unique<EstimateWork>(discPaths_, udf_);
    images_[pack] = ::Estimate(discPaths_, packs_[pack], *work);
}

std::vector<uint64_t> CPackImageEstimator::TakeImages() {
    return std::move(images_);
}

uint64_t CPackImageEstimator::EstimateOne(const CDiscPaths& discPaths, const PackBin& pack,
                                          bool udf) {
    EstimateWork work(discPaths, udf);
    return ::Estimate(discPaths, pack, work);
}
