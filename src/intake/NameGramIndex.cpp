#include "intake/NameGramIndex.h"

#include <algorithm>
#include <utility>

#include "intake/NameSignature.h"

namespace {

// Collisions only add partners to score, never lose one.
uint64_t GramHash(std::u16string_view name, size_t at, size_t q) {
    uint64_t h = q;
    for (size_t t = 0; t < q; ++t)
        h = (h ^ name[at + t]) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

}  // namespace

NameGramIndex::NameGramIndex(const std::vector<std::u16string_view>& names)
    : names_(names),
      runNeeded_(names.size()),
      tables_(NameSignature::kMaxGram + 1),
      stamp_(names.size(), UINT32_MAX) {
    for (size_t i = 0; i < names.size(); ++i) {
        runNeeded_[i] = NameSignature::RunNeeded(names[i].size());
        if (std::find(gramSizes_.begin(), gramSizes_.end(), runNeeded_[i]) == gramSizes_.end()) {
            gramSizes_.push_back(runNeeded_[i]);
        }
    }
}

// Buckets by the hash's top bits, filled in two linear passes (no sort that a
// cancel could not interrupt); a bucket holds a few entries in any order.
const NameGramIndex::Table* NameGramIndex::TableFor(size_t q, const std::atomic<uint32_t>* cancel) {
    Table& table = tables_[q];
    if (!table.directory.empty()) return &table;
    auto cancelled = [cancel] {
        return cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0;
    };
    std::vector<Entry> unordered;
    for (size_t i = 0; i < names_.size(); ++i) {
        if ((i & 0xFF) == 0 && cancelled()) return nullptr;
        const std::u16string_view name = names_[i];
        for (size_t at = 0; at + q <= name.size(); ++at)
            unordered.push_back({GramHash(name, at, q), static_cast<uint32_t>(i)});
    }
    unsigned bits = 1;
    while (bits < 30 && (size_t{1} << bits) < unordered.size())
        ++bits;
    const unsigned shift = 64 - bits;
    std::vector<uint32_t> directory((size_t{1} << bits) + 1, 0);
    for (const Entry& entry : unordered)
        ++directory[(entry.gram >> shift) + 1];
    for (size_t b = 1; b < directory.size(); ++b)
        directory[b] += directory[b - 1];
    if (cancelled()) return nullptr;
    std::vector<uint32_t> next(directory.begin(), directory.end() - 1);
    table.entries.resize(unordered.size());
    for (const Entry& entry : unordered)
        table.entries[next[entry.gram >> shift]++] = entry;
    table.shift = shift;
    table.directory = std::move(directory);
    return &table;
}

bool NameGramIndex::PartnersAfter(size_t i, std::vector<uint32_t>& partners,
                                  const std::atomic<uint32_t>* cancel) {
    partners.clear();
    const std::u16string_view name = names_[i];
    const size_t length = name.size();
    if (length == 0) return true;
    for (size_t q : gramSizes_) {
        if (q > length) continue;
        const Table* found = TableFor(q, cancel);
        if (found == nullptr) return false;
        const Table& table = *found;
        for (size_t at = 0; at + q <= length; ++at) {
            const uint64_t gram = GramHash(name, at, q);
            const size_t bucket = static_cast<size_t>(gram >> table.shift);
            const Entry* it = table.entries.data() + table.directory[bucket];
            const Entry* end = table.entries.data() + table.directory[bucket + 1];
            for (; it != end; ++it) {
                if ((++steps_ & 0xFFF) == 0 && cancel != nullptr &&
                    cancel->load(std::memory_order_relaxed) != 0) {
                    return false;
                }
                const uint32_t j = it->name;
                if (it->gram != gram || j <= i || stamp_[j] == i) continue;
                // The pair's longer name sets the run it needs.
                const size_t other = names_[j].size();
                if ((other > length ? runNeeded_[j] : runNeeded_[i]) != q) continue;
                stamp_[j] = static_cast<uint32_t>(i);
                partners.push_back(j);
            }
        }
    }
    std::sort(partners.begin(), partners.end());
    return true;
}
