#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

class CPackItem;

// Item number to file, so that placing an entry costs no walk of its own.
// Numbers are normally dense below the document's nextItemId, but a sparse set
// gets a sorted table instead of a huge array. The first file in pre-order
// wins a duplicated number, as a finder walk would.
class ItemIndex {
public:
    void Add(uint32_t id, CPackItem* item) { pairs_.emplace_back(id, item); }

    // Call once every file has been added.
    void Build() {
        uint32_t maxId = 0;
        for (const auto& entry : pairs_)
            maxId = std::max(maxId, entry.first);
        if (!pairs_.empty() && maxId / 2 <= pairs_.size() + 1024) {
            dense_.assign(static_cast<size_t>(maxId) + 1, nullptr);
            for (const auto& entry : pairs_) {
                if (!dense_[entry.first]) dense_[entry.first] = entry.second;
            }
            pairs_ = std::vector<Pair>();
        } else {
            std::stable_sort(pairs_.begin(), pairs_.end(),
                             [](const Pair& a, const Pair& b) { return a.first < b.first; });
        }
    }

    CPackItem* Find(uint32_t id) const {
        if (!dense_.empty()) return id < dense_.size() ? dense_[id] : nullptr;
        auto it = std::lower_bound(pairs_.begin(), pairs_.end(), id,
                                   [](const Pair& p, uint32_t value) { return p.first < value; });
        return it != pairs_.end() && it->first == id ? it->second : nullptr;
    }

private:
    using Pair = std::pair<uint32_t, CPackItem*>;
    std::vector<Pair> pairs_;
    std::vector<CPackItem*> dense_;
};
