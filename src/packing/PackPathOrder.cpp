#include "packing/PackPathOrder.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "model/PackItem.h"
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

}  // namespace

void SortPacksByPath(std::vector<PackBin>& packs) {
    SplitPackWork(packs, 100000, [&packs](size_t from, size_t to) {
        std::vector<PathKey> keys;
        std::u16string paths;
        for (size_t k = from; k < to; ++k)
            SortByPath(packs[k].items, keys, paths);
    });
}
