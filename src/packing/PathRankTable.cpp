#include "packing/PathRankTable.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "model/PackItem.h"

namespace {

char16_t FoldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

// A child as its descendants' paths hold it: its name, or its whole path at
// the top level, with "/" after a folder's.
struct Child {
    uint64_t head;  // the first four folded units, which decide most comparisons
    const char16_t* text;
    uint32_t offset;  // of text in the walk's buffer for this depth
    uint32_t length;
    const CPackItem* item;
    bool folder;
};

std::u16string_view View(const Child& child) {
    return {child.text, child.length};
}

// Folded order, a folded prefix first, then plain code units: the order of the
// whole paths these keys end up in.
bool KeyLess(const Child& a, const Child& b) {
    if (a.head != b.head) return a.head < b.head;
    const size_t n = std::min(a.length, b.length);
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = FoldAscii(a.text[i]);
        const char16_t y = FoldAscii(b.text[i]);
        if (x != y) return x < y;
    }
    if (a.length != b.length) return a.length < b.length;
    return View(a) < View(b);
}

bool FoldedPrefix(const Child& prefix, const Child& of) {
    if (prefix.length > of.length) return false;
    for (size_t i = 0; i < prefix.length; ++i) {
        if (FoldAscii(prefix.text[i]) != FoldAscii(of.text[i])) return false;
    }
    return true;
}

}  // namespace

struct PathRankTable::Walk {
    PathRankTable& table;
    const std::atomic<bool>* stop;
    // Per depth, reused from folder to folder.
    std::vector<std::vector<Child>> lists;
    std::vector<std::u16string> texts;
    std::u16string path;

    bool Folder(const CPackFolder& folder, size_t depth);
};

bool PathRankTable::Walk::Folder(const CPackFolder& folder, size_t depth) {
    if (stop && stop->load(std::memory_order_relaxed)) return false;
    if (lists.size() <= depth) {
        lists.resize(depth + 1);
        texts.resize(depth + 1);
    }
    {
        std::vector<Child>& list = lists[depth];
        std::u16string& text = texts[depth];
        list.clear();
        text.clear();
        const bool top = depth == 0;
        for (const CPackItemPtr& pointer : folder.children) {
            const CPackItem& item = *pointer;
            const size_t start = text.size();
            if (top) {
                path.clear();
                item.AppendPath(path);
                text += path;
            } else {
                // Its path does not continue its folder's: no per-folder order holds it.
                if (item.HasWholePath()) return false;
                item.GetFileName().AppendTo(text);
            }
            const bool isFolder = item.IsFolder();
            if (isFolder && (text.size() == start || text.back() != u'/')) text += u'/';
            list.push_back(Child{0, nullptr, static_cast<uint32_t>(start),
                                 static_cast<uint32_t>(text.size() - start), &item, isFolder});
        }
        for (Child& child : list) {
            child.text = text.data() + child.offset;
            for (size_t i = 0; i < 4; ++i) {
                child.head = (child.head << 16) | (i < child.length ? FoldAscii(child.text[i]) : 0);
            }
        }
        std::sort(list.begin(), list.end(), KeyLess);
        for (size_t i = 1; i < list.size(); ++i) {
            const Child& before = list[i - 1];
            // Files of two folders whose keys fold alike interleave, and so do
            // a top-level folder's and those of a path that goes on from it.
            if (before.folder && FoldedPrefix(before, list[i])) return false;
            // Identical paths are ordered by where they were placed.
            if (View(before) == View(list[i])) return false;
        }
    }
    // The list of this depth stays as it is while the deeper ones are used.
    for (size_t i = 0; i < lists[depth].size(); ++i) {
        const Child& child = lists[depth][i];
        if (child.folder) {
            if (!Folder(*static_cast<const CPackFolder*>(child.item), depth + 1)) return false;
        } else if (!table.Add(child.item->GetId())) {
            return false;
        }
    }
    return true;
}

bool PathRankTable::Build(const CPackFolder& root, size_t fileCount, uint32_t idLimit,
                          const std::atomic<bool>* stop) {
    Clear();
    // Ranks go straight to their numbers' places, with no list of numbers
    // in between: in a large run that list would be the peak's last part.
    if (Dense(idLimit, fileCount)) {
        dense_.assign(idLimit, kNone);
    } else {
        sparse_.reserve(fileCount);
    }
    Walk walk{*this, stop, {}, {}, {}};
    if (!walk.Folder(root, 0)) return Clear();
    std::sort(sparse_.begin(), sparse_.end());
    for (size_t i = 1; i < sparse_.size(); ++i) {
        if (sparse_[i] >> 32 == sparse_[i - 1] >> 32) return Clear();  // a repeated number
    }
    if (!dense_.empty() && !Dense(dense_.size(), count_)) {
        for (size_t id = 0; id < dense_.size(); ++id) {
            if (dense_[id] != kNone) sparse_.push_back(uint64_t{id} << 32 | dense_[id]);
        }
        dense_ = std::vector<uint32_t>();
        std::sort(sparse_.begin(), sparse_.end());
    }
    return true;
}

// Numbers count folders and removed items too: a few per file still make a
// table, more would make it mostly holes.
bool PathRankTable::Dense(size_t idLimit, size_t files) {
    return idLimit <= 4 * files + 4096;
}

bool PathRankTable::Add(uint32_t id) {
    const uint32_t rank = count_++;
    if (id < dense_.size()) {
        if (dense_[id] != kNone) return false;  // a repeated number
        dense_[id] = rank;
    } else {
        sparse_.push_back(uint64_t{id} << 32 | rank);
    }
    return true;
}

uint32_t PathRankTable::RankOf(uint32_t id) const {
    if (id < dense_.size()) return dense_[id];
    const auto it = std::lower_bound(sparse_.begin(), sparse_.end(), uint64_t{id} << 32);
    return it != sparse_.end() && *it >> 32 == id ? static_cast<uint32_t>(*it) : kNone;
}

bool PathRankTable::Clear() {
    dense_ = std::vector<uint32_t>();
    sparse_ = std::vector<uint64_t>();
    count_ = 0;
    return false;
}
