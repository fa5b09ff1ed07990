#include "intake/NameSignature.h"

#include <algorithm>
#include <array>

#include "intake/NameSimilarity.h"

namespace {

// Below the threshold with room for rounding of the score's double arithmetic.
constexpr double kBoundLimit = kAutoGroupThreshold - 0.5;
constexpr size_t kTableSize = 512;
constexpr size_t kExtraGramChecks = 2;

// For each longer length L, the largest usable gram size, or 0 when none is.
std::array<uint8_t, kTableSize> MakeGramTable() {
    std::array<uint8_t, kTableSize> table{};
    for (size_t length = 1; length < kTableSize; ++length) {
        for (size_t q = NameSignature::kMinGram; q <= NameSignature::kMaxGram; ++q) {
            const double bound =
                static_cast<double>(q - 1) * (100.0 / static_cast<double>(length) + 6.0);
            if (bound <= kBoundLimit) table[length] = static_cast<uint8_t>(q);
        }
    }
    return table;
}

const std::array<uint8_t, kTableSize> kGramForLength = MakeGramTable();

}  // namespace

NameSignature::NameSignature(std::u16string_view name) : length_(name.size()) {
    for (size_t q = kMinGram; q <= kMaxGram && q <= name.size(); ++q) {
        uint64_t* words = bits_[q - kMinGram];
        for (size_t p = 0; p + q <= name.size(); ++p) {
            uint64_t h = 0;
            for (size_t t = 0; t < q; ++t) {
                h = (h ^ name[p + t]) * 0x9E3779B97F4A7C15ull;
            }
            const unsigned bit = static_cast<unsigned>(h >> 56);
            words[bit >> 6] |= uint64_t{1} << (bit & 63);
        }
    }
}

size_t NameSignature::RunNeeded(size_t longerLength) {
    if (longerLength >= kTableSize) return kMaxGram;
    return std::max<size_t>(kGramForLength[longerLength], 1);
}

bool NameSignature::CannotExceedThreshold(const NameSignature& a, const NameSignature& b) {
    if (a.length_ == 0 || b.length_ == 0) return true;
    const size_t longer = std::max(a.length_, b.length_);
    const size_t q = longer < kTableSize ? kGramForLength[longer] : kMaxGram;
    if (q == 0) return false;
    // A common q-gram implies common shorter grams, so a miss at a smaller size
    // proves the same; testing a few sizes makes hash collisions rare.
    for (size_t size = q; size >= kMinGram && size + kExtraGramChecks >= q; --size) {
        const uint64_t* x = a.bits_[size - kMinGram];
        const uint64_t* y = b.bits_[size - kMinGram];
        uint64_t common = 0;
        for (size_t w = 0; w < kWords; ++w)
            common |= x[w] & y[w];
        if (common == 0) return true;
    }
    return false;
}
