#include "packing/ImageFitter.h"

#include <algorithm>

#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "packing/ImageSizeEstimate.h"
#include "packing/PackImageSizes.h"

namespace {

// Each further run gives up at least this much, and at least this share of
// the limit, so that a tree whose images grow unlike their weights still
// reaches a limit that fits in few runs.
constexpr uint64_t kMinStep = 64 * CImageSizeEstimate::kBlock;
constexpr uint64_t kMinShare = 64;

uint64_t Fixed(const ImageFitGoal& goal) {
    const uint64_t empty = CImageSizeEstimate(goal.udf).Bytes();
    return goal.extraPerImage > UINT64_MAX - empty ? UINT64_MAX : empty + goal.extraPerImage;
}

// a * b / c without overflow, c > 0.
uint64_t Scale(uint64_t a, uint64_t b, uint64_t c) {
    return static_cast<uint64_t>(static_cast<unsigned __int128>(a) * b / c);
}

}  // namespace

bool CImageFitter::SingleEntry(const PackBin& pack) {
    if (pack.items.size() <= 1) return true;
    const uint64_t group = pack.items.front()->group;
    if (group == NoGroup) return false;
    return std::all_of(pack.items.begin(), pack.items.end(),
                       [group](const CPackItem* item) { return item->group == group; });
}

uint64_t CImageFitter::FirstLimit(const ImageFitGoal& goal) {
    const uint64_t fixed = Fixed(goal);
    return goal.target > fixed + 1 ? goal.target - fixed : 1;
}

uint64_t CImageFitter::NextLimit(uint64_t limit, const std::vector<PackBin>& packs,
                                 const std::vector<uint64_t>& weights,
                                 const std::vector<uint64_t>& images, const ImageFitGoal& goal) {
    const uint64_t fixed = Fixed(goal);
    const uint64_t room = goal.target > fixed ? goal.target - fixed : 0;
    bool over = false;
    uint64_t next = limit;
    for (size_t i = 0; i < packs.size() && i < images.size() && i < weights.size(); ++i) {
        if (images[i] <= goal.target || SingleEntry(packs[i])) continue;
        over = true;
        // The weighed total this pack could have had for its image to fit, were
        // its image to grow in proportion to it.
        const uint64_t content = images[i] > fixed ? images[i] - fixed : 1;
        next = std::min(next, Scale(weights[i], room, content));
    }
    if (!over || limit <= 1) return limit;
    const uint64_t step = std::max(kMinStep, limit / kMinShare);
    next = std::min(next, limit > step ? limit - step : 1);
    return std::max<uint64_t>(next, 1);
}

bool CImageFitter::Run(const PackAt& packAt) {
    images_.clear();
    runs_ = 0;
    uint64_t limit = FirstLimit(goal_);
    CImageCostScope costs(doc_.root);
    for (;;) {
        if (runs_++ > 0) costs.Reweigh();
        const bool completed = packAt(limit);
        std::vector<uint64_t> weights;
        for (const PackBin& pack : doc_.packs)
            weights.push_back(pack.used);
        costs.Restore(doc_.packs, doc_.packResults);
        if (!completed) return false;
        images_ = EstimatePackImages(doc_.root, doc_.packs, goal_.udf);
        for (uint64_t& image : images_)
            image =
                goal_.extraPerImage > UINT64_MAX - image ? UINT64_MAX : image + goal_.extraPerImage;
        if (goal_.extraPerPack) {
            const std::vector<uint64_t> extra = goal_.extraPerPack(doc_.packs);
            for (size_t i = 0; i < images_.size() && i < extra.size(); ++i)
                images_[i] =
                    extra[i] > UINT64_MAX - images_[i] ? UINT64_MAX : images_[i] + extra[i];
        }
        const uint64_t next = NextLimit(limit, doc_.packs, weights, images_, goal_);
        if (next == limit) return true;
        limit = next;
    }
}
