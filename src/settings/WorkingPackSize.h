#pragma once

#include <cstdint>
#include <string_view>

#include "settings/PackInfo.h"

// The two sizes of one packing run.
struct WorkingPackSize {
    uint64_t fullSize = 0;     // the medium; the document records it after a completed run
    uint64_t workingSize = 0;  // the limit the packing uses: the full size times the fill rate
    // The medium's real bytes, which an image must fit: a registered Name's
    // Capacity, else the full size.
    uint64_t capacity = 0;
};

enum class PackSizeError {
    None,
    InvalidSizeText,        // neither a registered Name nor a valid size text
    InvalidRegisteredSize,  // a registered Name whose stored Size text is not valid
};

// The run command's sizes from the toolbar's texts. sizeText is a registered
// Name of list (whole text, case-sensitive; the first such entry's Size text is
// parsed) or else a size text (ParsePackSize). fillRateText gives the rate by
// its leading decimal digits (ApplyFillRate: none give 0, 100 or more the full
// size). On an error out is left as it was.
[[nodiscard]] PackSizeError ResolveWorkingPackSize(const PackInfoList& list,
                                                   std::u16string_view sizeText,
                                                   std::u16string_view fillRateText,
                                                   WorkingPackSize& out);

// What the user is told of an error (caption "ERROR"); empty for None.
std::u16string DescribePackSizeError(PackSizeError error);
