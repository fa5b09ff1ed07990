#include "intake/NameGramIndex.h"

#include <algorithm>

#include "intake/NameSignature.h"

namespace {

// Collisions only add pairs to score, never lose one.
uint64_t GramHash(std::u16string_view name, size_t at, size_t q) {
    uint64_t h = q;
    for (size_t t = 0; t < q; ++t)
        h = (h ^ name[at + t]) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

}  // namespace

NameGramIndex::NameGramIndex(const std::vector<std::u16string_view>& names,
                             const std::atomic<uint32_t>* cancel)
    : names_(names), cancel_(cancel), byGram_(NameSignature::kMaxGram + 1) {}

// Cheap enough to call per entry: the flag itself is read once in 4096 calls.
bool NameGramIndex::Cancelled() {
    if (cancel_ == nullptr || (++checks_ & 0xFFF) != 0) return false;
    return cancel_->load(std::memory_order_relaxed) != 0;
}

const std::vector<NameGramIndex::Entry>& NameGramIndex::EntriesFor(size_t q) {
    std::vector<Entry>& entries = byGram_[q];
    if (!entries.empty()) return entries;
    for (size_t i = 0; i < names_.size(); ++i) {
        const std::u16string_view name = names_[i];
        for (size_t at = 0; at + q <= name.size(); ++at)
            entries.push_back({GramHash(name, at, q), static_cast<uint32_t>(i)});
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool NameGramIndex::CandidatePairs(std::vector<std::pair<uint32_t, uint32_t>>& pairs) {
    pairs.clear();
    const size_t n = names_.size();
    stamp_.assign(n, UINT32_MAX);
    for (size_t i = 0; i < n; ++i) {
        const std::u16string_view name = names_[i];
        const size_t length = name.size();
        if (length == 0) continue;
        if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed) != 0) return false;
        // The pair's longer name sets the run it needs; that name (the later
        // one between equal lengths) looks the pair up, so each pair is met once.
        const size_t q = std::min(NameSignature::RunNeeded(length), length);
        const std::vector<Entry>& entries = EntriesFor(q);
        for (size_t at = 0; at + q <= length; ++at) {
            const Entry key{GramHash(name, at, q), 0};
            for (auto it = std::lower_bound(entries.begin(), entries.end(), key);
                 it != entries.end() && it->gram == key.gram; ++it) {
                if (Cancelled()) return false;
                const uint32_t j = it->name;
                const size_t other = names_[j].size();
                if (j == i || other > length || (other == length && j > i)) continue;
                if (stamp_[j] == i) continue;
                stamp_[j] = static_cast<uint32_t>(i);
                pairs.emplace_back(std::min<uint32_t>(j, static_cast<uint32_t>(i)),
                                   std::max<uint32_t>(j, static_cast<uint32_t>(i)));
            }
        }
    }
    std::sort(pairs.begin(), pairs.end());
    return true;
}
