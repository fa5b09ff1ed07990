#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

// Finds, among the names of one folder, the pairs that might score above
// kAutoGroupThreshold, without looking at every pair: two names can only score
// that high when they share a run of characters long enough (see NameSignature),
// so each name is looked up in an index of the other names' runs of that length.
// Every pair that can exceed the threshold is found; the others mostly are not.
class NameGramIndex {
public:
    // names must stay alive while the index is used. cancel may be null.
    NameGramIndex(const std::vector<std::u16string_view>& names,
                  const std::atomic<uint32_t>* cancel);

    // The possible pairs (i < j) in increasing order of i, then j. Returns
    // false, with pairs incomplete, when the cancel flag was set.
    bool CandidatePairs(std::vector<std::pair<uint32_t, uint32_t>>& pairs);

private:
    struct Entry {
        uint64_t gram;
        uint32_t name;
        bool operator<(const Entry& other) const {
            return gram != other.gram ? gram < other.gram : name < other.name;
        }
    };

    bool Cancelled();
    const std::vector<Entry>& EntriesFor(size_t q);

    const std::vector<std::u16string_view>& names_;
    const std::atomic<uint32_t>* cancel_;
    std::vector<std::vector<Entry>> byGram_;  // index q: every q-unit run of every name
    std::vector<uint32_t> stamp_;
    uint32_t checks_ = 0;
};
