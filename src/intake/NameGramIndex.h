#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Finds, among the names of one folder, the partners that might score above
// kAutoGroupThreshold with a given name, without looking at every pair: two
// names can only score that high when they share a run of characters as long
// as NameSignature::RunNeeded of the longer one, so the name's runs of that
// length are looked up in an index of every name's runs. Every partner that can
// exceed the threshold is found; most others are not.
class NameGramIndex {
public:
    // names must stay alive while the index is used.
    explicit NameGramIndex(const std::vector<std::u16string_view>& names);

    // The possible partners j > i of name i, in increasing order. Returns false,
    // with partners incomplete, once cancel (may be null) is non-zero; it is
    // read every few thousand steps.
    bool PartnersAfter(size_t i, std::vector<uint32_t>& partners,
                       const std::atomic<uint32_t>* cancel);

private:
    struct Entry {
        uint64_t gram;
        uint32_t name;
    };
    // Every run of q units of every name, grouped by the hash's top bits, with
    // a directory so that a lookup touches one small stretch.
    struct Table {
        std::vector<Entry> entries;
        std::vector<uint32_t> directory;
        unsigned shift = 64;
    };

    const Table* TableFor(size_t q, const std::atomic<uint32_t>* cancel);

    const std::vector<std::u16string_view>& names_;
    std::vector<size_t> runNeeded_;  // per name, as the longer of a pair
    std::vector<size_t> gramSizes_;  // the distinct values of runNeeded_
    std::vector<Table> tables_;      // index q
    std::vector<uint32_t> stamp_;
    uint32_t steps_ = 0;
};
