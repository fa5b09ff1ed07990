#include "packing/CorvelinDoc.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <future>
#include <limits>
#include <system_error>

#include "model/PackItemFinder.h"
#include "packing/PackEntry.h"
#include "packing/PackNotice.h"
#include "packing/PickupGroup.h"
#include "packing/PickupNoGroup.h"
#include "support/AtomicFileWriter.h"
#include "support/FileSystem.h"
#include "support/IZelPostTarget.h"
#include "support/TextCodec.h"
#include "support/ZelDebugLog.h"

namespace {

constexpr uint64_t kMaxSize = std::numeric_limits<uint64_t>::max();

// Huge sparse files must not wrap a pack's total back into "room left".
uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
    return a > kMaxSize - b ? kMaxSize : a + b;
}

// Room in a pack for the strict fit test: an entry fits when its size is less
// than this, which is used + size < limit without any overflow.
uint64_t FreeSpace(uint64_t used, uint64_t limit) {
    return used < limit ? limit - used : 0;
}

bool CancelRequested(const std::atomic<uint32_t>& flag) {
    return flag.load() != 0;
}

// Item number to file, so that placing an entry costs no walk of its own.
// Numbers are normally dense below nextItemId, but a sparse set gets a sorted
// table instead of a huge array. The first file in pre-order wins a duplicated
// number, as a finder walk would.
class ItemIndex {
public:
    void Add(CPackItem& item) { pairs_.emplace_back(item.GetId(), &item); }

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

// Collects the single-file entries and, in the same walk, indexes every file.
class CIndexingPickupNoGroup : public CPickupNoGroup {
public:
    CIndexingPickupNoGroup(std::vector<PackEntry>* entries, ItemIndex& index)
        : CPickupNoGroup(entries), index_(index) {}
    bool VisitItem(CPackItem& item) override {
        index_.Add(item);
        return CPickupNoGroup::VisitItem(item);
    }

private:
    ItemIndex& index_;
};

// Max-tree over the packs' free space: finds the leftmost pack with room in
// O(log n), the same pack a scan from the first pack would find.
class FirstFitTree {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    // Slots without a pack hold 0, which no entry fits under.
    FirstFitTree() : tree_(2 * leaves_, 0) {}

    size_t FindFirst(uint64_t size) const {
        if (tree_[1] <= size) return npos;
        size_t node = 1;
        while (node < leaves_) {
            node = tree_[2 * node] > size ? 2 * node : 2 * node + 1;
        }
        return node - leaves_;
    }

    void Set(size_t index, uint64_t freeSpace) {
        while (index >= leaves_)
            Grow();
        size_t node = index + leaves_;
        tree_[node] = freeSpace;
        for (node >>= 1; node != 0; node >>= 1) {
            tree_[node] = std::max(tree_[2 * node], tree_[2 * node + 1]);
        }
    }

private:
    void Grow() {
        std::vector<uint64_t> grown(4 * leaves_, 0);
        std::copy(tree_.begin() + leaves_, tree_.end(), grown.begin() + 2 * leaves_);
        leaves_ *= 2;
        tree_.swap(grown);
        for (size_t node = leaves_ - 1; node != 0; --node) {
            tree_[node] = std::max(tree_[2 * node], tree_[2 * node + 1]);
        }
    }

    size_t leaves_ = 1024;
    std::vector<uint64_t> tree_;
};

// An entry with its file already looked up. Single files are resolved while the
// entries still stand in tree order, where the index is read in sequence, so the
// placement in size order never reads the index at random.
struct SortedEntry {
    uint64_t size;
    CPackItem* item;  // the file of a single-file entry; null for a group
    int32_t key;
};

// Path order inside a pack: ASCII letters folded, and names that differ only in
// case still get a fixed order by their plain code units; it agrees with
// ComparePathsNoCase followed by a code-unit comparison. The paths of one pack
// share a prefix, which the keys skip; the next four folded units form an
// integer that decides most comparisons without reading the texts.
struct PathKey {
    uint64_t head;
    const char16_t* text;  // after the pack's common prefix
    size_t length;
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
    return tie < 0;
}

void SortByPath(std::vector<CPackItem*>& items, std::vector<PathKey>& keys) {
    if (items.size() < 2) return;
    // Items lie scattered in memory: gather the texts first in a short loop
    // whose loads overlap, and ask for the texts ahead of their first reading.
    keys.clear();
    for (CPackItem* item : items) {
        const std::u16string& path = item->GetPath();
        __builtin_prefetch(path.data());
        keys.push_back(PathKey{0, path.data(), path.size(), item});
    }
    size_t common = keys[0].length;
    for (const PathKey& key : keys) {
        size_t same = 0;
        const size_t n = std::min(common, key.length);
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
    std::stable_sort(keys.begin(), keys.end(), PathKeyLess);
    for (size_t i = 0; i < keys.size(); ++i)
        items[i] = keys[i].item;
}

void AppendDecimal(std::string& out, uint64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

}  // namespace

CCorvelinDoc::CCorvelinDoc() : root(0, u"", 0) {
    root.SetExpanded(1);
}

CCorvelinDoc::~CCorvelinDoc() {
    ClearPackResults();
}

bool CCorvelinDoc::OnNewDocument() {
    // The records point into the tree that is about to be released.
    ReleasePacks();

    CPackFolder fresh(0, u"", 0);
    root.AssignFields(fresh);
    root.children.swap(fresh.children);
    root.expanded = fresh.expanded;
    root.SetExpanded(1);

    nextItemId = 1;
    groupCount = 0;
    return true;
}

void CCorvelinDoc::SetItemGroup(uint64_t group, uint32_t number) {
    CPackItemFinder finder(number);
    root.Accept(finder);
    if (CPackItem* item = finder.Found()) item->SetGroup(group);
    ZEL_DEBUG_LOG("Set group: {}:{}", group, number);
}

uint64_t CCorvelinDoc::NewGroup() {
    const uint64_t group = groupCount++;
    ZEL_DEBUG_LOG("NEW GROUP: {}", group);
    return group;
}

void CCorvelinDoc::ReleasePacks() {
    packs.clear();
    ClearPackResults();
    groupTable.clear();
}

void CCorvelinDoc::AddScannedItems(const CPackFolder& scanned, uint32_t nextId) {
    // Reserve first, so that nothing below can throw once the root changes.
    root.children.reserve(root.children.size() + scanned.children.size());
    for (const CPackItemPtr& item : scanned.children)
        root.AppendChild(item);
    nextItemId = std::max(nextItemId, nextId);
}

void CCorvelinDoc::ClearPackResults() {
    packResults.clear();
    resultNodes_.clear();
}

namespace {

// Packs are sorted independently; with a million files the work is worth a
// second thread, which takes the packs after the midpoint of the file count.
void SortPacksByPath(std::vector<PackBin>& packs) {
    size_t total = 0;
    for (const PackBin& pack : packs)
        total += pack.items.size();
    size_t split = packs.size();
    if (total >= 100000) {
        size_t seen = 0;
        for (split = 0; split < packs.size() && seen < total / 2; ++split) {
            seen += packs[split].items.size();
        }
    }
    auto sortRange = [&packs](size_t from, size_t to) {
        std::vector<PathKey> keys;
        for (size_t k = from; k < to; ++k)
            SortByPath(packs[k].items, keys);
    };
    std::future<void> second;
    if (split < packs.size()) {
        try {
            second = std::async(std::launch::async, sortRange, split, packs.size());
        } catch (const std::system_error&) {
            split = packs.size();  // no thread to be had: sort everything here
        }
    }
    sortRange(0, split);
    if (second.valid()) second.get();  // rethrows what the thread threw
}

}  // namespace

bool CCorvelinDoc::Pack(uint64_t limit, IZelPostTarget* progress) {
    groupTable.clear();
    packs.clear();
    packSize = limit;
    std::vector<PackEntry> entries;

    ItemIndex index;

    ZEL_DEBUG_LOG("packing : entry no group item...");
    CIndexingPickupNoGroup pickupNoGroup(&entries, index);
    root.Accept(pickupNoGroup);
    if (CancelRequested(cancelFlag)) return false;

    ZEL_DEBUG_LOG("packing : pickup group item...");
    groupTable.resize(static_cast<size_t>(groupCount) + 1);
    CPickupGroup pickupGroup(&groupTable);
    root.Accept(pickupGroup);
    if (CancelRequested(cancelFlag)) return false;

    ZEL_DEBUG_LOG("packing : entry group...");
    for (size_t row = 1; row < groupTable.size(); ++row) {
        if (groupTable[row].itemIds.empty()) continue;
        entries.push_back(PackEntry{-static_cast<int32_t>(row), groupTable[row].size});
    }
    if (CancelRequested(cancelFlag)) return false;

    ZEL_DEBUG_LOG("packing : sorting entry item...");
    index.Build();
    std::vector<SortedEntry> sorted;
    sorted.reserve(entries.size());
    for (const PackEntry& entry : entries) {
        CPackItem* item = entry.key >= 0 ? index.Find(static_cast<uint32_t>(entry.key)) : nullptr;
        sorted.push_back(SortedEntry{entry.size, item, entry.key});
    }
    entries = std::vector<PackEntry>();
    // Stable, so equal sizes keep collection order and a run is reproducible.
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const SortedEntry& a, const SortedEntry& b) { return a.size > b.size; });
    if (CancelRequested(cancelFlag)) return false;

    ZEL_DEBUG_LOG("packing : packing...");
    packs.clear();
    ClearPackResults();
    const uint64_t n = sorted.size();
    FirstFitTree tree;
    std::vector<CPackItem*> files;
    uint64_t lastPercent = 0;

    for (uint64_t i = 0; i < n; ++i) {
        const SortedEntry& entry = sorted[i];
        const bool isGroup = entry.key < 0;
        const size_t row = isGroup ? static_cast<size_t>(-static_cast<int64_t>(entry.key)) : 0;

        files.clear();
        if (!isGroup) {
            if (entry.item) files.push_back(entry.item);
        } else if (row < groupTable.size()) {
            for (uint32_t id : groupTable[row].itemIds) {
                if (CPackItem* item = index.Find(id)) files.push_back(item);
            }
        }

        // A number the tree no longer has is skipped; a pack never holds a null.
        if (!files.empty()) {
            size_t packIndex = tree.FindFirst(entry.size);
            if (packIndex != FirstFitTree::npos) {
                PackBin& pack = packs[packIndex];
                pack.items.insert(pack.items.end(), files.begin(), files.end());
                pack.used = SaturatingAdd(pack.used, entry.size);
            } else {
                packIndex = packs.size();
                packs.emplace_back();
                packs.back().used = entry.size;
                packs.back().items.assign(files.begin(), files.end());
            }
            tree.Set(packIndex, FreeSpace(packs[packIndex].used, limit));
            if (isGroup) ZEL_DEBUG_LOG(" GROUP({}) IN PACK[{}]", row, packIndex);
        }

        if (CancelRequested(cancelFlag)) return false;
        if (progress) {
            // Only a change of percentage is posted: a million entries would
            // otherwise flood the window's queue with repeated values.
            const uint64_t percent = i * 100 / n;
            if (i == 0 || percent != lastPercent) {
                progress->Post(ZelNotice(PackNotice::Progress, static_cast<int64_t>(percent)));
                lastPercent = percent;
            }
        }
    }

    // The placement's tables are done with: their memory goes back before the
    // result lists are built, which keeps a large run's peak lower.
    std::vector<SortedEntry>().swap(sorted);
    index = ItemIndex();
    tree = FirstFitTree();

    ZEL_DEBUG_LOG("packing : pack item sorting...");
    SortPacksByPath(packs);
    BuildPackResults();
    ZEL_DEBUG_LOG("packing : finish!");
    return true;
}

void CCorvelinDoc::BuildPackResults() {
    ClearPackResults();
    packResults.resize(packs.size());
    resultNodes_.resize(packs.size());
    for (size_t k = 0; k < packs.size(); ++k) {
        PackResult& result = packResults[k];
        result.number = static_cast<uint32_t>(k + 1);
        result.size = packs[k].used;
        std::vector<PackResultNode>& nodes = resultNodes_[k];
        nodes.resize(packs[k].items.size());
        for (size_t j = 0; j < nodes.size(); ++j) {
            PackResultNode& node = nodes[j];
            node.pack = &result;
            node.item = packs[k].items[j];
            node.prev = result.tail;
            if (result.tail) {
                result.tail->next = &node;
            } else {
                result.head = &node;
            }
            result.tail = &node;
            ++result.count;
        }
    }
}

bool CCorvelinDoc::ExportPacks(const std::string& path, std::string& message) {
    return ExportPacks(path, message, zel::IFileSystem::Default());
}

bool CCorvelinDoc::ExportPacks(const std::string& path, std::string& message,
                               zel::IFileSystem& fs) {
    ZEL_DEBUG_LOG("export : start...");
    zel::AtomicFileWriter writer(fs);
    const bool opened = writer.Open(path);
    return WriteExport(writer, opened, path, message);
}

bool CCorvelinDoc::ExportPacksToDescriptor(int fd, const std::string& name, std::string& message,
                                           zel::IFileSystem& fs) {
    ZEL_DEBUG_LOG("export : start...");
    zel::AtomicFileWriter writer(fs);
    const bool opened = writer.OpenDescriptor(fd);
    return WriteExport(writer, opened, name, message);
}

bool CCorvelinDoc::WriteExport(zel::AtomicFileWriter& writer, bool ok, const std::string& path,
                               std::string& message) const {
    constexpr size_t kChunk = 1 << 16;
    message.clear();
    std::string buffer;
    buffer.reserve(kChunk + 1024);
    uint64_t packNumber = 1;
    for (const PackBin& pack : packs) {
        if (!ok) break;
        const std::vector<CPackItem*>& items = pack.items;
        for (size_t j = 0; j < items.size(); ++j) {
            // Items of a pack lie scattered in memory and each line is too much
            // work for the processor to reach the next one alone: fetch ahead.
            if (j + 16 < items.size()) __builtin_prefetch(items[j + 16]);
            if (j + 8 < items.size()) __builtin_prefetch(items[j + 8]->GetPath().data());
            const CPackItem* item = items[j];
            zel::EncodeFileNameAppend(item->GetPath(), buffer);
            buffer.push_back('\t');
            AppendDecimal(buffer, item->GetSize());
            buffer.push_back('\t');
            if (item->group != NoGroup) AppendDecimal(buffer, item->group + 1);
            buffer.push_back('\t');
            AppendDecimal(buffer, packNumber);
            buffer.append("\t\r\n");
            if (buffer.size() >= kChunk) {
                ok = writer.Write(buffer);
                buffer.clear();
                if (!ok) break;
            }
        }
        ++packNumber;
    }
    if (ok && !buffer.empty()) ok = writer.Write(buffer);
    if (ok) ok = writer.Commit();

    if (!ok) {
        const int error = writer.Error();
        writer.Abort();
        message = "ファイルに書き込めませんでした。\n" +
                  zel::Utf16ToUtf8(zel::ForDisplay(zel::DecodeFileName(path)));
        if (error != 0) message += "\n" + zel::ErrorText(error);
        return false;
    }
    ZEL_DEBUG_LOG("export : finish!");
    return true;
}
