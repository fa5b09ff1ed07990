#include "intake/NameSignature.h"

#include <array>
#include <cstdint>

#include "intake/NameSimilarity.h"

namespace {

// Below the threshold with room for rounding of the score's double arithmetic.
constexpr double kBoundLimit = kAutoGroupThreshold - 0.5;
constexpr size_t kTableSize = 512;

// For each longer length L, the largest run length q whose bound stays below.
std::array<uint8_t, kTableSize> MakeRunTable() {
    std::array<uint8_t, kTableSize> table{};
    for (size_t length = 1; length < kTableSize; ++length) {
        table[length] = 1;
        for (size_t q = 2; q <= NameSignature::kMaxGram; ++q) {
            const double bound =
                static_cast<double>(q - 1) * (100.0 / static_cast<double>(length) + 6.0);
            if (bound <= kBoundLimit) table[length] = static_cast<uint8_t>(q);
        }
    }
    return table;
}

const std::array<uint8_t, kTableSize> kRunForLength = MakeRunTable();

}  // namespace

size_t NameSignature::RunNeeded(size_t longerLength) {
    if (longerLength >= kTableSize) return kMaxGram;
    return longerLength == 0 ? 1 : kRunForLength[longerLength];
}
