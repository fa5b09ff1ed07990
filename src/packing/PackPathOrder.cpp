#include "packing/PackPathOrder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <system_error>

#include "model/PackItem.h"
#include "packing/PathRankTable.h"
#include "packing/SplitPackWork.h"

namespace {

// Path order inside a pack: ASCII letters folded, and names that differ only in
// case still get a fixed order by their plain code units; it agrees with
// ComparePathsNoCase followed by a code-unit comparison. The paths of one pack
// share a prefix, which the keys skip; the next four folded units form an
// integer that decides most comparisons without reading the texts.
struct PathKey {
    uint64_t head;
    const char16_t* text;  // after the pack's common prefix
    uint32_t length;
    uint32_t order;  // placement order, which breaks ties of identical paths
    CPackItem* item;
};

char16_t FoldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

bool PathKeyLess(const PathKey& a, const PathKey& b) {
    if (a.head != b.head) return a.head < b.head;
    const size_t n = std::min(a.length, b.length);
    int tie = 0;
    for (size_t i = 0; i < n; ++i) {
        while (i + 4 <= n && std::memcmp(a.text + i, b.text + i, 4 * sizeof(char16_t)) == 0) {
            i += 4;
        }
        if (i == n) break;
        const char16_t x = a.text[i];
        const char16_t y = b.text[i];
        if (x == y) continue;
        if (tie == 0) tie = x < y ? -1 : 1;
        if (FoldAscii(x) != FoldAscii(y)) return FoldAscii(x) < FoldAscii(y);
    }
    if (a.length != b.length) return a.length < b.length;
    if (tie != 0) return tie < 0;
    return a.order < b.order;
}

void SortByPath(std::vector<CPackItem*>& items, std::vector<PathKey>& keys, std::u16string& paths) {
    if (items.size() < 2) return;
    // Items keep only their names: the pack's paths are made once, side by
    // side, which also keeps the sort's reads close together.
    keys.clear();
    paths.clear();
    for (size_t j = 0; j < items.size(); ++j) {
        if (j + 16 < items.size()) __builtin_prefetch(items[j + 16]);
        if (j + 8 < items.size()) items[j + 8]->PrefetchText();
        const CPackItem* item = items[j];
        const size_t start = paths.size();
        item->AppendPath(paths);
        keys.push_back(PathKey{0, nullptr, static_cast<uint32_t>(paths.size() - start),
                               static_cast<uint32_t>(j), items[j]});
    }
    size_t offset = 0;
    for (PathKey& key : keys) {
        key.text = paths.data() + offset;
        offset += key.length;
    }
    size_t common = keys[0].length;
    for (const PathKey& key : keys) {
        size_t same = 0;
        const size_t n = std::min<size_t>(common, key.length);
        while (same < n && keys[0].text[same] == key.text[same])
            ++same;
        common = same;
    }
    for (PathKey& key : keys) {
        key.text += common;
        key.length -= common;
        // A missing unit counts as 0, below every unit a name can hold.
        for (size_t i = 0; i < 4; ++i) {
            key.head = (key.head << 16) | (i < key.length ? FoldAscii(key.text[i]) : 0);
        }
    }
    std::sort(keys.begin(), keys.end(), PathKeyLess);
    for (size_t i = 0; i < keys.size(); ++i)
        items[i] = keys[i].item;
}

// A pack's files by their ranks; false, with the pack untouched, when one has none.
bool SortByRank(std::vector<CPackItem*>& items, const PathRankTable& ranks,
                std::vector<uint64_t>& keys, std::vector<CPackItem*>& placed) {
    if (items.size() < 2) return true;
    keys.clear();
    for (size_t j = 0; j < items.size(); ++j) {
        if (j + 16 < items.size()) __builtin_prefetch(items[j + 16]);
        const uint32_t rank = ranks.RankOf(items[j]->GetId());
        if (rank == PathRankTable::kNone) return false;
        keys.push_back(uint64_t{rank} << 32 | j);
    }
    std::sort(keys.begin(), keys.end());
    placed.assign(items.begin(), items.end());
    for (size_t i = 0; i < keys.size(); ++i)
        items[i] = placed[static_cast<uint32_t>(keys[i])];
    return true;
}

}  // namespace

PackPathOrder::PackPathOrder(const CPackFolder& root, size_t fileCount, uint32_t idLimit)
    : root_(root), fileCount_(fileCount), idLimit_(idLimit) {
    try {
        pending_ = std::async(std::launch::async,
                              [this] { return ranks_.Build(root_, fileCount_, idLimit_, &stop_); });
    } catch (const std::system_error&) {
        // Without a thread, Sort finds the order itself.
    }
}

PackPathOrder::~PackPathOrder() {
    stop_.store(true);
    if (pending_.valid()) pending_.wait();
}

bool PackPathOrder::Ranked() {
    // What the thread threw (no memory) is thrown here.
    return pending_.valid() ? pending_.get() : ranks_.Build(root_, fileCount_, idLimit_);
}

void PackPathOrder::Sort(std::vector<PackBin>& packs) {
    const bool ranked = Ranked();
    const PathRankTable& ranks = ranks_;
    SplitPackWork(packs, 100000, [&packs, &ranks, ranked](size_t, size_t from, size_t to) {
        std::vector<PathKey> keys;
        std::u16string paths;
        std::vector<uint64_t> rankKeys;
        std::vector<CPackItem*> placed;
        for (size_t k = from; k < to; ++k) {
            if (ranked && SortByRank(packs[k].items, ranks, rankKeys, placed)) continue;
            SortByPath(packs[k].items, keys, paths);
        }
    });
}
