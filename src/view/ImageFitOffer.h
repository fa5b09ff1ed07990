#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "packing/PackRecords.h"

// What the window says after a run whose packs' images do not all fit their
// medium: how many do not, and whether packing again against the images
// would help (it does not when the run already did, or when every pack that
// is over holds one file or one group alone).
struct ImageFitOffer {
    size_t overPacks = 0;
    bool offerRefit = false;
    std::u16string text;  // empty: nothing to say
};

ImageFitOffer MakeImageFitOffer(const std::vector<PackBin>& packs,
                                const std::vector<uint64_t>& images, uint64_t medium,
                                bool fittedToImages);
