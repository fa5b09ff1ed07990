#include "packing/CorvelinDoc.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "model/PackItemFinder.h"
#include "packing/PackEntry.h"
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

// Item number to file, built by one walk so that placing an entry costs no walk
// of its own. Numbers are normally dense below g_nextItemId, but a sparse set
// gets a sorted table instead of a huge array. The first file in pre-order
// wins a duplicated number, as a finder walk would.
class ItemIndex : private CPackItemTraverser {
public:
    explicit ItemIndex(CPackFolder& root) {
        root.Accept(*this);
        uint32_t maxId = 0;
        for (const auto& entry : pairs_)
            maxId = std::max(maxId, entry.first);
        if (!pairs_.empty() && maxId / 2 <= pairs_.size() + 1024) {
            dense_.assign(static_cast<size_t>(maxId) + 1, nullptr);
            for (const auto& entry : pairs_) {
                if (!dense_[entry.first])
                    dense_[entry.first] = entry.second;
            }
            pairs_.clear();
            pairs_.shrink_to_fit();
        } else {
            std::stable_sort(pairs_.begin(), pairs_.end(),
                             [](const Pair& a, const Pair& b) { return a.first < b.first; });
        }
    }

    CPackItem* Find(uint32_t id) const {
        if (!dense_.empty())
            return id < dense_.size() ? dense_[id] : nullptr;
        auto it = std::lower_bound(pairs_.begin(), pairs_.end(), id,
                                   [](const Pair& p, uint32_t value) { return p.first < value; });
        return it != pairs_.end() && it->first == id ? it->second : nullptr;
    }

private:
    using Pair = std::pair<uint32_t, CPackItem*>;

    bool VisitItem(CPackItem& item) override {
        pairs_.emplace_back(item.GetId(), &item);
        return true;
    }

    std::vector<Pair> pairs_;
    std::vector<CPackItem*> dense_;
};

// Max-tree over the packs' free space: finds the leftmost pack with room in
// O(log n), the same pack a scan from the first pack would find.
class FirstFitTree {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    explicit FirstFitTree(size_t capacity) {
        while (leaves_ < capacity)
            leaves_ <<= 1;
        // Slots without a pack hold 0, which no entry fits under.
        tree_.assign(2 * leaves_, 0);
    }

    size_t FindFirst(uint64_t size) const {
        if (tree_[1] <= size)
            return npos;
        size_t node = 1;
        while (node < leaves_) {
            node = tree_[2 * node] > size ? 2 * node : 2 * node + 1;
        }
        return node - leaves_;
    }

    void Set(size_t index, uint64_t freeSpace) {
        size_t node = index + leaves_;
        tree_[node] = freeSpace;
        for (node >>= 1; node != 0; node >>= 1) {
            tree_[node] = std::max(tree_[2 * node], tree_[2 * node + 1]);
        }
    }

private:
    size_t leaves_ = 1;
    std::vector<uint64_t> tree_;
};

// Path order inside a pack; names that differ only in case still get a fixed order.
bool PathOrderLess(const CPackItem* a, const CPackItem* b) {
    const int c = ComparePathsNoCase(a->GetPath(), b->GetPath());
    if (c != 0)
        return c < 0;
    return a->GetPath() < b->GetPath();
}

void AppendDecimal(std::string& out, uint64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

}  // namespace

CCorvelinDoc::CCorvelinDoc() : root(0, u"", 0) {
    root.SetExpanded(1);
    g_nextItemId = 1;
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

    g_nextItemId = 1;
    groupCount = 0;
    return true;
}

void CCorvelinDoc::SetItemGroup(uint64_t group, uint32_t number) {
    CPackItemFinder finder(number);
    root.Accept(finder);
    if (CPackItem* item = finder.Found())
        item->SetGroup(group);
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

void CCorvelinDoc::ClearPackResults() {
    packResults.clear();
    resultNodes_.clear();
}

bool CCorvelinDoc::Pack(uint64_t limit, IZelPostTarget* progress) {
    groupTable.clear();
    packs.clear();
    packSize = limit;
    std::vector<PackEntry> entries;

    ZEL_DEBUG_LOG("packing : entry no group item...");
    CPickupNoGroup pickupNoGroup(&entries);
    root.Accept(pickupNoGroup);
    if (CancelRequested(cancelFlag))
        return false;

    ZEL_DEBUG_LOG("packing : pickup group item...");
    groupTable.resize(static_cast<size_t>(groupCount) + 1);
    CPickupGroup pickupGroup(&groupTable);
    root.Accept(pickupGroup);
    if (CancelRequested(cancelFlag))
        return false;

    ZEL_DEBUG_LOG("packing : entry group...");
    for (size_t row = 1; row < groupTable.size(); ++row) {
        if (groupTable[row].itemIds.empty())
            continue;
        entries.push_back(PackEntry{-static_cast<int32_t>(row), groupTable[row].size});
    }
    if (CancelRequested(cancelFlag))
        return false;

    ZEL_DEBUG_LOG("packing : sorting entry item...");
    // Stable, so equal sizes keep collection order and a run is reproducible.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const PackEntry& a, const PackEntry& b) { return a.size > b.size; });
    if (CancelRequested(cancelFlag))
        return false;

    ZEL_DEBUG_LOG("packing : packing...");
    packs.clear();
    ClearPackResults();
    const ItemIndex index(root);
    const uint64_t n = entries.size();
    FirstFitTree tree(std::max<size_t>(entries.size(), 1));
    std::vector<CPackItem*> files;
    uint64_t lastPercent = 0;

    for (uint64_t i = 0; i < n; ++i) {
        const PackEntry& entry = entries[i];
        const bool isGroup = entry.key < 0;
        const size_t row = isGroup ? static_cast<size_t>(-static_cast<int64_t>(entry.key)) : 0;

        files.clear();
        if (!isGroup) {
            if (CPackItem* item = index.Find(static_cast<uint32_t>(entry.key))) {
                files.push_back(item);
            }
        } else if (row < groupTable.size()) {
            for (uint32_t id : groupTable[row].itemIds) {
                if (CPackItem* item = index.Find(id))
                    files.push_back(item);
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
            if (isGroup)
                ZEL_DEBUG_LOG(" GROUP({}) IN PACK[{}]", row, packIndex);
        }

        if (CancelRequested(cancelFlag))
            return false;
        if (progress) {
            // Only a change of percentage is posted: a million entries would
            // otherwise flood the window's queue with repeated values.
            const uint64_t percent = i * 100 / n;
            if (i == 0 || percent != lastPercent) {
                progress->Post(WM_APP + 2, 0, static_cast<int64_t>(percent));
                lastPercent = percent;
            }
        }
    }

    ZEL_DEBUG_LOG("packing : pack item sorting...");
    for (PackBin& pack : packs) {
        std::stable_sort(pack.items.begin(), pack.items.end(), PathOrderLess);
    }
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
    constexpr size_t kChunk = 1 << 16;
    ZEL_DEBUG_LOG("export : start...");
    message.clear();

    zel::AtomicFileWriter writer(fs);
    bool ok = writer.Open(path);
    std::string buffer;
    buffer.reserve(kChunk + 1024);
    uint64_t packNumber = 1;
    for (const PackBin& pack : packs) {
        if (!ok)
            break;
        for (const CPackItem* item : pack.items) {
            zel::EncodeFileNameAppend(item->GetPath(), buffer);
            buffer.push_back('\t');
            AppendDecimal(buffer, item->GetSize());
            buffer.push_back('\t');
            if (item->group != NoGroup)
                AppendDecimal(buffer, item->group + 1);
            buffer.push_back('\t');
            AppendDecimal(buffer, packNumber);
            buffer.append("\t\r\n");
            if (buffer.size() >= kChunk) {
                ok = writer.Write(buffer);
                buffer.clear();
                if (!ok)
                    break;
            }
        }
        ++packNumber;
    }
    if (ok && !buffer.empty())
        ok = writer.Write(buffer);
    if (ok)
        ok = writer.Commit();

    if (!ok) {
        const int error = writer.Error();
        writer.Abort();
        message = "ファイルに書き込めませんでした。\n" +
                  zel::Utf16ToUtf8(zel::ForDisplay(zel::DecodeFileName(path)));
        if (error != 0)
            message += "\n" + zel::ErrorText(error);
        return false;
    }
    ZEL_DEBUG_LOG("export : finish!");
    return true;
}
