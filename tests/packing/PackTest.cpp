#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>

#include "PackTestSupport.h"

using namespace packing_test;

namespace {

constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();

// The rules by example; the cross-check below holds them for any tree.
TEST(Pack, FitIsStrictlyLessThanTheLimitAndGroupsStayWholeInPathOrder) {
    CCorvelinDoc doc;
    doc.NewGroup();  // a group that lost all its files
    const uint64_t group = doc.NewGroup();
    CPackFolder* folder = AddFolder(doc.root, "/d");
    AddFile(*folder, "/d/g2", 200, group);
    AddFile(doc.root, "/single", 500);
    AddFile(doc.root, "/g1", 200, group);
    AddFile(*folder, "/d/g3", 200, group);
    AddFile(doc.root, "/c", 400);  // 600 + 400 is not less than 1000
    ASSERT_TRUE(doc.Pack(1000));
    ASSERT_EQ(doc.packs.size(), 2u);
    EXPECT_EQ(PathsOf(doc.packs[0]), (std::vector<std::string>{"/d/g2", "/d/g3", "/g1"}));
    EXPECT_EQ(PathsOf(doc.packs[1]), (std::vector<std::string>{"/c", "/single"}));
    EXPECT_EQ(doc.packs[1].used, 900u);
    EXPECT_EQ(doc.packSize, 1000u);
    EXPECT_TRUE(doc.groupTable[1].itemIds.empty());
    EXPECT_EQ(doc.groupTable[2].size, 600u);

    // The result lists follow the packs, linked both ways.
    ASSERT_EQ(doc.packResults.size(), 2u);
    for (size_t k = 0; k < doc.packs.size(); ++k) {
        const PackResult& result = doc.packResults[k];
        EXPECT_EQ(result.number, k + 1);
        EXPECT_EQ(result.size, doc.packs[k].used);
        ASSERT_EQ(result.count, doc.packs[k].items.size());
        const PackResultNode* prev = nullptr;
        size_t j = 0;
        for (const PackResultNode* node = result.head; node; prev = node, node = node->next, ++j) {
            ASSERT_LT(j, result.count);
            EXPECT_EQ(node->item, doc.packs[k].items[j]);
            EXPECT_EQ(node->pack, &result);
            EXPECT_EQ(node->prev, prev);
        }
        EXPECT_EQ(result.tail, prev);
    }
}

TEST(Pack, ProgressPostsOnlyChangedPercentagesAndNothingForAnEmptyTree) {
    for (int n : {0, 1, 4, 250}) {
        CCorvelinDoc doc;
        AddFile(doc.root, "/old", 10);
        ASSERT_TRUE(doc.Pack(1000));
        doc.root.children.clear();  // the packing itself drops the previous run's records
        AddFolder(*AddFolder(doc.root, "/empty"), "/empty/inner");
        for (int i = 0; i < n; ++i)
            AddFile(doc.root, "/f" + std::to_string(i), 10);
        RecordingTarget target;
        ASSERT_TRUE(doc.Pack(1000, &target));
        std::vector<int64_t> expected;  // 4 entries: 0, 25, 50, 75
        for (int64_t i = 0; i < n; ++i) {
            if (expected.empty() || expected.back() != i * 100 / n) expected.push_back(i * 100 / n);
        }
        EXPECT_EQ(target.Progress(), expected) << n << " entries";
        EXPECT_EQ(target.Posts().size(), expected.size());  // Pack posts nothing else
        EXPECT_EQ(doc.packResults.empty(), n == 0);
    }
}

// Cancels from inside the first progress notice, as the dialog's button would.
class CancellingTarget : public RecordingTarget {
public:
    explicit CancellingTarget(CCorvelinDoc& doc) : doc_(doc) {}
    void Post(const ZelNotice& notice) override {
        RecordingTarget::Post(notice);
        doc_.cancelFlag = 1;
    }

private:
    CCorvelinDoc& doc_;
};

TEST(Pack, CancelBeforePlacementKeepsThePreviousResultsDuringItLeavesPartialPacks) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/z", 30);
    AddFile(doc.root, "/y", 20, doc.NewGroup());
    AddFile(doc.root, "/a", 10);
    ASSERT_TRUE(doc.Pack(1000));
    doc.cancelFlag = 1;
    RecordingTarget quiet;
    EXPECT_FALSE(doc.Pack(500, &quiet));
    EXPECT_EQ(doc.cancelFlag.load(), 1u);  // the caller clears it, not the packing
    EXPECT_EQ(doc.packSize, 500u);
    EXPECT_TRUE(doc.packs.empty() && doc.groupTable.empty() && quiet.Posts().empty());
    ASSERT_EQ(doc.packResults.size(), 1u);
    EXPECT_EQ(doc.packResults[0].count, 3u);

    doc.cancelFlag = 0;
    CancellingTarget target(doc);
    EXPECT_FALSE(doc.Pack(1000, &target));
    // Entry 0 was placed and reported, entry 1 placed, then the check stopped it.
    EXPECT_EQ(target.Progress(), (std::vector<int64_t>{0}));
    ASSERT_EQ(doc.packs.size(), 1u);
    EXPECT_EQ(PathsOf(doc.packs[0]), (std::vector<std::string>{"/z", "/y"}));
    EXPECT_TRUE(doc.packResults.empty());
}

// ---- Cross-check of the indexed placement against a plain first-fit scan ----

struct RefPack {
    uint64_t used = 0;
    std::vector<CPackItem*> items;
};

// Case-blind first, shorter first, then by the exact characters.
bool RefPathLess(const CPackItem* a, const CPackItem* b) {
    const std::u16string &x = a->GetPath(), &y = b->GetPath();
    auto less = [](char16_t c, char16_t d) {
        auto fold = [](char16_t ch) { return ch >= u'A' && ch <= u'Z' ? char16_t(ch + 32) : ch; };
        return fold(c) < fold(d);
    };
    if (std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), less)) return true;
    if (std::lexicographical_compare(y.begin(), y.end(), x.begin(), x.end(), less)) return false;
    return x < y;
}

void CollectFiles(CPackFolder& folder, std::vector<CPackItem*>& out) {
    for (auto& child : folder.children) {
        if (CPackFolder* sub = child->AsFolder()) {
            CollectFiles(*sub, out);
        } else {
            out.push_back(child.get());
        }
    }
}

std::vector<RefPack> ReferencePack(CPackFolder& root, uint64_t limit) {
    std::vector<CPackItem*> files;
    CollectFiles(root, files);
    struct Entry {
        unsigned __int128 size;
        std::vector<CPackItem*> items;
    };
    std::vector<Entry> entries;
    std::map<uint64_t, Entry> groups;
    for (CPackItem* file : files) {
        if (file->group == NoGroup) {
            entries.push_back(Entry{file->GetSize(), {file}});
        } else {
            Entry& g = groups[file->group];
            g.size += file->GetSize();
            g.items.push_back(file);
        }
    }
    for (auto& [number, g] : groups) {
        g.size = std::min<unsigned __int128>(g.size, kMax);
        entries.push_back(g);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.size > b.size; });
    std::vector<RefPack> packs;
    for (const Entry& e : entries) {
        RefPack* target = nullptr;
        for (RefPack& p : packs) {
            if (static_cast<unsigned __int128>(p.used) + e.size < limit) {
                target = &p;
                break;
            }
        }
        if (!target) {
            packs.emplace_back();
            target = &packs.back();
        }
        target->used = static_cast<uint64_t>(std::min<unsigned __int128>(
            static_cast<unsigned __int128>(target->used) + e.size, kMax));
        target->items.insert(target->items.end(), e.items.begin(), e.items.end());
    }
    for (RefPack& p : packs)
        std::stable_sort(p.items.begin(), p.items.end(), RefPathLess);
    return packs;
}

void BuildRandomTree(std::mt19937_64& rng, CCorvelinDoc& doc, CPackFolder& folder, int depth,
                     int& budget, uint64_t maxSize, bool huge) {
    const int children = static_cast<int>(rng() % (depth == 0 ? 120 : 12));
    static const char* kNames[] = {"a", "A", "b", "B", "_", "c", "ab", "Ab"};
    for (int i = 0; i < children && budget > 0; ++i) {
        if (rng() % 20 == 0) nextTestId += static_cast<uint32_t>(rng() % 100000);  // sparse
        // Long shared prefixes and names differing only in case or length.
        const std::string parent = depth == 0 ? std::string(rng() % 2 ? "/Shared/pre" : "")
                                              : zel::Utf16ToUtf8(folder.GetPath());
        const std::string path =
            parent + "/" + kNames[rng() % 8] + std::string(rng() % 3, kNames[rng() % 8][0]);
        if (depth < 3 && rng() % 5 == 0) {
            CPackFolder* sub = AddFolder(folder, path);
            BuildRandomTree(rng, doc, *sub, depth + 1, budget, maxSize, huge);
            continue;
        }
        --budget;
        uint64_t size = rng() % (maxSize + 1);
        if (huge && rng() % 3 == 0) size = kMax - rng() % 1000;
        uint64_t group = NoGroup;
        if (doc.groupCount > 0 && rng() % 3 == 0) group = rng() % doc.groupCount;
        AddFile(folder, path, size, group);
    }
}

TEST(Pack, IndexedFirstFitMatchesALinearScan) {
    std::mt19937_64 rng(20240611);
    for (int round = 0; round < 600; ++round) {
        CCorvelinDoc doc;
        const bool huge = round % 7 == 0;
        const uint64_t maxSize = huge ? kMax / 3 : 1 + rng() % 40;
        uint64_t limit = huge ? kMax - rng() % 5 : rng() % 60;
        if (round % 11 == 0) limit = 0;
        const uint32_t groups = static_cast<uint32_t>(rng() % 6);
        for (uint32_t g = 0; g < groups; ++g)
            doc.NewGroup();
        int budget = static_cast<int>(rng() % 150);
        BuildRandomTree(rng, doc, doc.root, 0, budget, maxSize, huge);

        const std::vector<RefPack> expected = ReferencePack(doc.root, limit);
        ASSERT_TRUE(doc.Pack(limit)) << "round " << round;
        ASSERT_EQ(doc.packs.size(), expected.size()) << "round " << round;
        for (size_t k = 0; k < expected.size(); ++k) {
            ASSERT_EQ(doc.packs[k].used, expected[k].used) << "round " << round << " pack " << k;
            ASSERT_EQ(doc.packs[k].items, expected[k].items) << "round " << round << " pack " << k;
        }
    }
}

}  // namespace
