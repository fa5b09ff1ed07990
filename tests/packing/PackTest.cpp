#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>

#include "PackTestSupport.h"

using namespace packing_test;

namespace {

constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();

std::vector<uint64_t> UsedOf(const CCorvelinDoc& doc) {
    std::vector<uint64_t> out;
    for (const PackBin& pack : doc.packs)
        out.push_back(pack.used);
    return out;
}

TEST(Pack, FitIsStrictlyLessThanTheLimit) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/a", 600);
    AddFile(doc.root, "/b", 400);
    AddFile(doc.root, "/c", 300);
    ASSERT_TRUE(doc.Pack(1000));
    EXPECT_EQ(UsedOf(doc), (std::vector<uint64_t>{900, 400}));
    EXPECT_EQ(PathsOf(doc.packs[0]), (std::vector<std::string>{"/a", "/c"}));
    EXPECT_EQ(PathsOf(doc.packs[1]), (std::vector<std::string>{"/b"}));
    EXPECT_EQ(doc.packSize, 1000u);
}

TEST(Pack, ZeroSizeFileDoesNotJoinAnExactlyFullPack) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/full", 1000);
    AddFile(doc.root, "/empty", 0);
    ASSERT_TRUE(doc.Pack(1000));
    EXPECT_EQ(UsedOf(doc), (std::vector<uint64_t>{1000, 0}));
}

TEST(Pack, OversizeEntriesStayAloneAndSumsDoNotWrap) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/huge", 2500);
    AddFile(doc.root, "/small", 100);
    ASSERT_TRUE(doc.Pack(1000));
    EXPECT_EQ(UsedOf(doc), (std::vector<uint64_t>{2500, 100}));

    // Two sizes whose sum wraps past 2^64 must not share a pack of the largest limit.
    CCorvelinDoc big;
    const uint64_t half = (uint64_t{1} << 63) + 5;
    AddFile(big.root, "/x", half);
    AddFile(big.root, "/y", half);
    ASSERT_TRUE(big.Pack(kMax));
    EXPECT_EQ(UsedOf(big), (std::vector<uint64_t>{half, half}));

    // Limit 0: nothing ever fits, every entry opens its own pack.
    CCorvelinDoc zero;
    AddFile(zero.root, "/a", 0);
    AddFile(zero.root, "/b", 0);
    AddFile(zero.root, "/c", 7);
    ASSERT_TRUE(zero.Pack(0));
    EXPECT_EQ(zero.packs.size(), 3u);
}

TEST(Pack, GroupsArePlacedWholeInTreeOrder) {
    CCorvelinDoc doc;
    const uint64_t unused = doc.NewGroup();  // a group that lost all its files
    const uint64_t group = doc.NewGroup();
    (void)unused;
    CPackFolder* folder = AddFolder(doc.root, "/d");
    AddFile(*folder, "/d/g2", 200, group);
    AddFile(doc.root, "/single", 500);
    AddFile(doc.root, "/g1", 200, group);
    AddFile(*folder, "/d/g3", 200, group);
    ASSERT_TRUE(doc.Pack(1000));
    ASSERT_EQ(UsedOf(doc), (std::vector<uint64_t>{600, 500}));
    EXPECT_EQ(PathsOf(doc.packs[0]), (std::vector<std::string>{"/d/g2", "/d/g3", "/g1"}));
    ASSERT_EQ(doc.groupTable.size(), 3u);
    EXPECT_TRUE(doc.groupTable[1].itemIds.empty());
    EXPECT_EQ(doc.groupTable[2].size, 600u);
    EXPECT_EQ(doc.groupTable[2].itemIds.size(), 3u);
}

TEST(Pack, EmptyTreeGivesNoPacksAndNoProgress) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/a", 10);
    ASSERT_TRUE(doc.Pack(100));
    ASSERT_EQ(doc.packResults.size(), 1u);

    // The packing itself drops the previous run's records.
    doc.root.children.clear();
    AddFolder(*AddFolder(doc.root, "/empty"), "/empty/inner");
    RecordingTarget target;
    EXPECT_TRUE(doc.Pack(100, &target));
    EXPECT_TRUE(doc.packs.empty());
    EXPECT_TRUE(doc.packResults.empty());
    EXPECT_TRUE(target.Posts().empty());
}

TEST(Pack, ProgressPostsOnlyChangedPercentages) {
    for (int n : {1, 4, 250}) {
        CCorvelinDoc doc;
        for (int i = 0; i < n; ++i)
            AddFile(doc.root, "/f" + std::to_string(i), 10);
        RecordingTarget target;
        ASSERT_TRUE(doc.Pack(1000, &target));
        std::vector<int64_t> expected;
        for (int64_t i = 0; i < n; ++i) {
            const int64_t percent = i * 100 / n;
            if (expected.empty() || expected.back() != percent) expected.push_back(percent);
        }
        EXPECT_EQ(target.Progress(), expected) << n << " entries";
        EXPECT_EQ(target.Posts().size(), expected.size());  // Pack posts nothing else
    }
    CCorvelinDoc four;
    for (int i = 0; i < 4; ++i)
        AddFile(four.root, "/f" + std::to_string(i), 1);
    RecordingTarget target;
    ASSERT_TRUE(four.Pack(1000, &target));
    EXPECT_EQ(target.Progress(), (std::vector<int64_t>{0, 25, 50, 75}));
}

TEST(Pack, CancelBeforePlacementKeepsThePreviousResults) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/a", 10);
    AddFile(doc.root, "/b", 20, doc.NewGroup());
    ASSERT_TRUE(doc.Pack(1000));
    ASSERT_EQ(doc.packResults.size(), 1u);

    doc.cancelFlag = 1;
    RecordingTarget target;
    EXPECT_FALSE(doc.Pack(500, &target));
    EXPECT_EQ(doc.cancelFlag.load(), 1u);  // the caller clears it, not the packing
    EXPECT_EQ(doc.packSize, 500u);
    EXPECT_TRUE(doc.packs.empty());
    EXPECT_TRUE(doc.groupTable.empty());
    ASSERT_EQ(doc.packResults.size(), 1u);
    EXPECT_EQ(doc.packResults[0].count, 2u);
    EXPECT_TRUE(target.Posts().empty());
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

TEST(Pack, CancelDuringPlacementLeavesUnsortedPartialPacks) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/z", 30);
    AddFile(doc.root, "/y", 20);
    AddFile(doc.root, "/a", 10);
    ASSERT_TRUE(doc.Pack(1000));
    ASSERT_FALSE(doc.packResults.empty());

    CancellingTarget target(doc);
    EXPECT_FALSE(doc.Pack(1000, &target));
    // Entry 0 was placed and reported, entry 1 placed, then the check stopped it.
    EXPECT_EQ(target.Progress(), (std::vector<int64_t>{0}));
    ASSERT_EQ(doc.packs.size(), 1u);
    EXPECT_EQ(PathsOf(doc.packs[0]), (std::vector<std::string>{"/z", "/y"}));
    EXPECT_EQ(doc.packs[0].used, 50u);
    EXPECT_TRUE(doc.packResults.empty());
}

TEST(Pack, PackItemsAreInPathOrderAndResultsLinked) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/x/b.txt", 3);
    AddFile(doc.root, "/X/A.txt", 2);
    AddFile(doc.root, "/x/a2.txt", 1);
    AddFile(doc.root, "/x/a.txt", 1);
    AddFile(doc.root, "/x/_.txt", 1);
    AddFile(doc.root, "/big", 100);
    ASSERT_TRUE(doc.Pack(101));
    ASSERT_EQ(doc.packs.size(), 2u);
    // ASCII folding puts "_" before letters; case-only twins fall back to code units.
    EXPECT_EQ(PathsOf(doc.packs[1]), (std::vector<std::string>{"/x/_.txt", "/X/A.txt", "/x/a.txt",
                                                               "/x/a2.txt", "/x/b.txt"}));

    ASSERT_EQ(doc.packResults.size(), 2u);
    for (size_t k = 0; k < doc.packs.size(); ++k) {
        const PackResult& result = doc.packResults[k];
        EXPECT_EQ(result.number, k + 1);
        EXPECT_EQ(result.size, doc.packs[k].used);
        EXPECT_EQ(result.expanded, 0u);
        ASSERT_EQ(result.count, doc.packs[k].items.size());
        const PackResultNode* prev = nullptr;
        size_t j = 0;
        for (const PackResultNode* node = result.head; node; node = node->next, ++j) {
            ASSERT_LT(j, doc.packs[k].items.size());
            EXPECT_EQ(node->item, doc.packs[k].items[j]);
            EXPECT_EQ(node->pack, &result);
            EXPECT_EQ(node->prev, prev);
            prev = node;
        }
        EXPECT_EQ(j, result.count);
        EXPECT_EQ(result.tail, prev);
    }
}

// ---- Cross-check of the indexed placement against a plain first-fit scan ----

struct RefPack {
    uint64_t used = 0;
    std::vector<CPackItem*> items;
};

bool RefPathLess(const CPackItem* a, const CPackItem* b) {
    const std::u16string& x = a->GetPath();
    const std::u16string& y = b->GetPath();
    auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    for (size_t i = 0; i < std::min(x.size(), y.size()); ++i) {
        if (fold(x[i]) != fold(y[i])) return fold(x[i]) < fold(y[i]);
    }
    if (x.size() != y.size()) return x.size() < y.size();
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
