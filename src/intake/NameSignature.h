#pragma once

#include <cstddef>

// How long a run of characters two names must share to score above
// kAutoGroupThreshold, which lets the automatic grouping rule out most pairs
// without scoring them (NameGramIndex).
//
// Why it is exact: the longest run NameSimilarity finds is a common substring of
// a and b, and its bonus is at most 6 times that run. If the names share no run
// of q units, the run is at most q-1, so the score is at most (q-1) * (100/L + 6)
// with L the longer length. For each L the largest q (up to kMaxGram) keeping
// that bound below the threshold is the run needed.
class NameSignature {
public:
    static constexpr size_t kMaxGram = 8;

    // The run length needed when the longer name has this many units (1 to kMaxGram).
    static size_t RunNeeded(size_t longerLength);
};
