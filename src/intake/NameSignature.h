#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Hashed q-gram sets of one name, used to prove cheaply that a pair of names
// cannot score above kAutoGroupThreshold, so that the quadratic pair loop of the
// automatic grouping runs the full NameSimilarity only where it can matter.
//
// Why it is exact: the longest run NameSimilarity finds is a common substring of
// a and b, and its bonus is at most 6 times that run. If the names share no
// q-gram, the run is at most q-1, so the score is at most (q-1) * (100/L + 6)
// with L the longer length. For each L the largest q keeping that bound below
// the threshold is used; hash collisions only make the test answer "maybe".
class NameSignature {
public:
    static constexpr size_t kMinGram = 2;
    static constexpr size_t kMaxGram = 8;
    static constexpr size_t kWords = 4;  // 256 bits per gram size

    NameSignature() = default;
    explicit NameSignature(std::u16string_view name);

    // The run length two names must share to score above the threshold when the
    // longer of them has this many units (1 to kMaxGram).
    static size_t RunNeeded(size_t longerLength);

    // True when NameSimilarity(a, b) and NameSimilarity(b, a) are certainly not
    // above kAutoGroupThreshold; false means "compute it".
    static bool CannotExceedThreshold(const NameSignature& a, const NameSignature& b);

private:
    size_t length_ = 0;
    uint64_t bits_[kMaxGram - kMinGram + 1][kWords] = {};
};
