#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "packing/PackRecords.h"

class CCorvelinDoc;

// What packing against images aims at.
struct ImageFitGoal {
    uint64_t target = 0;  // the largest image a pack may make, bytes
    bool udf = false;     // count a UDF bridge
    // Bytes every image carries beyond the pack's files (a folder of the
    // program's own on each medium), counted in each pack's estimate.
    uint64_t extraPerImage = 0;
    // Bytes each pack's image carries beyond that, given the packs of a run:
    // what writing adds depends on the files (their checksum lines). Counted
    // like extraPerImage; the caller's, so this layer knows nothing of writing.
    std::function<std::vector<uint64_t>(const std::vector<PackBin>& packs)> extraPerPack;
};

// Packing against images: packs the document with every file weighed by what it
// adds to an image, estimates each pack's image and packs again with a smaller
// limit while a pack of more than one entry (a file in no group, or a group)
// makes an image above the target. The limit shrinks by the worst pack's share
// of overflow and by a fixed part of itself at least, so the runs end for any
// shape of tree: at the latest when each entry is alone in its pack.
class CImageFitter {
public:
    // One packing run at a limit; false when it did not complete (cancelled).
    using PackAt = std::function<bool(uint64_t limit)>;

    CImageFitter(CCorvelinDoc& doc, const ImageFitGoal& goal) : doc_(doc), goal_(goal) {}

    // Packs the document until every pack fits or holds one entry; false when a
    // run did not complete. The packs then count their files' bytes again.
    [[nodiscard]] bool Run(const PackAt& packAt);

    // Each pack's estimated image after Run, extraPerImage included.
    const std::vector<uint64_t>& Images() const { return images_; }
    int Runs() const { return runs_; }

    // The limit the first run starts from, so that a pack filled to it still
    // leaves room for an empty image's fixed structures; at least 1.
    static uint64_t FirstLimit(const ImageFitGoal& goal);
    // The limit after a run at limit made these images of packs whose weighed
    // totals were weights; limit itself when no pack that can shrink is over.
    static uint64_t NextLimit(uint64_t limit, const std::vector<PackBin>& packs,
                              const std::vector<uint64_t>& weights,
                              const std::vector<uint64_t>& images, const ImageFitGoal& goal);
    // Whether the pack holds one entry: one file, or files of one group only.
    static bool SingleEntry(const PackBin& pack);

private:
    CCorvelinDoc& doc_;
    ImageFitGoal goal_;
    std::vector<uint64_t> images_;
    int runs_ = 0;
};
