#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>

#include "PackTestSupport.h"
#include "packing/PathRankTable.h"

using namespace packing_test;

namespace {

constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();

// The indexed placement against a plain first-fit scan: strictly less than the
// limit, largest first, groups whole, each pack in path order.

struct RefPack {
    uint64_t used = 0;
    std::vector<CPackItem*> items;
};

uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
    return a > kMax - b ? kMax : a + b;
}

// Case-blind first, shorter first, then by the exact characters.
std::pair<std::u16string, std::u16string> RefPathKey(const CPackItem* item) {
    std::u16string path = item->GetPath();
    std::u16string folded = path;
    for (char16_t& c : folded)
        c = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    return {folded, path};
}

bool RefPathLess(const CPackItem* a, const CPackItem* b) {
    return RefPathKey(a) < RefPathKey(b);
}

std::vector<RefPack> ReferencePack(CPackFolder& root, uint64_t limit) {
    std::vector<CPackItem*> files;
    CollectFiles(root, files);
    std::vector<RefPack> entries;  // a file or a whole group, "used" being its size
    std::map<uint64_t, RefPack> groups;
    for (CPackItem* file : files) {
        RefPack& entry = file->group == NoGroup ? entries.emplace_back() : groups[file->group];
        entry.used = SaturatingAdd(entry.used, file->GetSize());
        entry.items.push_back(file);
    }
    for (auto& [number, group] : groups)
        entries.push_back(group);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const RefPack& a, const RefPack& b) { return a.used > b.used; });
    std::vector<RefPack> packs;
    for (const RefPack& entry : entries) {
        auto fits = std::find_if(packs.begin(), packs.end(), [&](const RefPack& pack) {
            return static_cast<unsigned __int128>(pack.used) + entry.used < limit;
        });
        RefPack& pack = fits == packs.end() ? packs.emplace_back() : *fits;
        pack.used = SaturatingAdd(pack.used, entry.used);
        pack.items.insert(pack.items.end(), entry.items.begin(), entry.items.end());
    }
    for (RefPack& pack : packs) {
        std::vector<std::pair<std::pair<std::u16string, std::u16string>, CPackItem*>> keyed;
        for (CPackItem* item : pack.items)
            keyed.emplace_back(RefPathKey(item), item);
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < keyed.size(); ++i)
            pack.items[i] = keyed[i].second;
    }
    return packs;
}

// Long shared prefixes, names differing only in case or length, sparse item
// numbers, and sizes near the top of the range.
void BuildRandomTree(std::mt19937_64& rng, CCorvelinDoc& doc, CPackFolder& folder, int depth,
                     uint64_t maxSize, bool huge) {
    static const char* kNames[] = {"a", "A", "b", "B", "_", "c", "ab", "Ab"};
    for (int i = static_cast<int>(rng() % (depth == 0 ? 80 : 12)); i > 0; --i) {
        if (rng() % 20 == 0) nextTestId += static_cast<uint32_t>(rng() % 100000);
        const std::string parent = depth == 0 ? std::string(rng() % 2 ? "/Shared/pre" : "")
                                              : zel::Utf16ToUtf8(folder.GetPath());
        const std::string path =
            parent + "/" + kNames[rng() % 8] + std::string(rng() % 3, kNames[rng() % 8][0]);
        if (depth < 3 && rng() % 5 == 0) {
            BuildRandomTree(rng, doc, *AddFolder(folder, path), depth + 1, maxSize, huge);
            continue;
        }
        const uint64_t size = huge && rng() % 3 == 0 ? kMax - rng() % 1000 : rng() % (maxSize + 1);
        const bool grouped = doc.groupCount > 0 && rng() % 3 == 0;
        AddFile(folder, path, size, grouped ? rng() % doc.groupCount : NoGroup);
    }
}

void ExpectPackedAsTheReference(CCorvelinDoc& doc, uint64_t limit) {
    const std::vector<RefPack> expected = ReferencePack(doc.root, limit);
    ASSERT_TRUE(doc.Pack(limit));
    ASSERT_EQ(doc.packs.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        ASSERT_EQ(doc.packs[k].used, expected[k].used) << "pack " << k;
        ASSERT_EQ(doc.packs[k].items, expected[k].items) << "pack " << k;
    }
}

TEST(Pack, IndexedFirstFitMatchesALinearScan) {
    std::mt19937_64 rng(20240611);
    for (int round = 0; round < 600; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        CCorvelinDoc doc;
        const bool huge = round % 7 == 0;
        uint64_t limit = huge ? kMax - rng() % 5 : rng() % 60;
        if (round % 11 == 0) limit = 0;
        for (uint64_t g = rng() % 6; g > 0; --g)
            doc.NewGroup();
        BuildRandomTree(rng, doc, doc.root, 0, huge ? kMax / 3 : 1 + rng() % 40, huge);

        ExpectPackedAsTheReference(doc, limit);
        if (testing::Test::HasFatalFailure()) return;
    }
}

// Enough entries that the placement gives back the pages of entries it has
// read, several times, while it still reads and writes their neighbours.
TEST(Pack, RunsOfHundredsOfThousandsMatchTheReference) {
    CCorvelinDoc doc;
    std::vector<CPackFolder*> folders;
    for (int f = 0; f < 40; ++f)
        folders.push_back(AddFolder(doc.root, "/f" + std::to_string(f)));
    for (uint64_t g = 0; g < 5; ++g)
        doc.NewGroup();
    for (uint64_t i = 0; i < 210000; ++i) {
        const size_t f = (i * 7919) % folders.size();
        AddFile(*folders[f], "/f" + std::to_string(f) + "/n" + std::to_string(i),
                1 + (i * 104729) % 5000, i % 997 == 0 ? i % 5 : NoGroup);
    }
    const uint64_t limit = 25000000;
    ExpectPackedAsTheReference(doc, limit);
}

// The ranks of a tree the table accepts are the path order of its files; the
// trees it must refuse are the ones where a per-folder order goes wrong.
TEST(PathRankTable, RanksFollowWholePathsOrRefuseTheTree) {
    std::mt19937_64 rng(20261207);
    int ranked = 0;
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        CCorvelinDoc doc;
        nextTestId = 1;
        BuildRandomTree(rng, doc, doc.root, 0, 10, false);
        std::vector<CPackItem*> files;
        CollectFiles(doc.root, files);
        PathRankTable table;
        // Ranks by number in a list, in a table with a list for the numbers
        // above it, and in a table too sparse to keep.
        const bool ok = round % 3 == 0   ? table.Build(doc.root, files.size())
                        : round % 3 == 1 ? table.Build(doc.root, files.size(), 4096)
                                         : table.Build(doc.root, nextTestId, nextTestId);
        if (!ok) continue;
        ++ranked;
        std::stable_sort(files.begin(), files.end(), RefPathLess);
        for (size_t i = 0; i < files.size(); ++i) {
            ASSERT_EQ(table.RankOf(files[i]->GetId()), i) << zel::Utf16ToUtf8(files[i]->GetPath());
        }
    }
    // Both ways are taken: the random names clash often, but not always.
    EXPECT_GT(ranked, 20);
    EXPECT_LT(ranked, 360);

    const auto refused = [](const std::vector<std::string>& folders,
                            const std::vector<std::string>& files) {
        CCorvelinDoc doc;
        for (const std::string& folder : folders)
            AddFolder(doc.root, folder);
        for (const std::string& file : files)
            AddFile(doc.root, file, 1);
        PathRankTable table;
        return !table.Build(doc.root, files.size());
    };
    EXPECT_FALSE(refused({"/d/A", "/d/b"}, {"/d/a"}));
    EXPECT_TRUE(refused({"/d/A", "/d/a"}, {}));
    EXPECT_TRUE(refused({"/d"}, {"/d/x"}));
    EXPECT_TRUE(refused({}, {"/d/x", "/d/x"}));
    {
        // The same number twice, in the table and in the list.
        CCorvelinDoc doc;
        doc.root.AppendChild(CPackItem::Create(7, u"/a", 1));
        doc.root.AppendChild(CPackItem::Create(7, u"/b", 1));
        PathRankTable table;
        EXPECT_FALSE(table.Build(doc.root, 2, 8));
        doc.root.children.back() = CPackItem::Create(70, u"/c", 1);
        EXPECT_TRUE(table.Build(doc.root, 2, 8));
        EXPECT_EQ(table.RankOf(7), 0u);
        EXPECT_EQ(table.RankOf(70), 1u);
        doc.root.AppendChild(CPackItem::Create(70, u"/d", 1));
        EXPECT_FALSE(table.Build(doc.root, 3, 8));
        EXPECT_EQ(table.RankOf(7), PathRankTable::kNone);
        // A table left mostly holes becomes a list, merged with the one above it.
        doc.root.children[1] = CPackItem::Create(30000, u"/c", 1);
        doc.root.children[2] = CPackItem::Create(5, u"/d", 1);
        EXPECT_TRUE(table.Build(doc.root, 5000, 20000));
        EXPECT_EQ(table.RankOf(5), 2u);
        EXPECT_EQ(table.RankOf(7), 0u);
        EXPECT_EQ(table.RankOf(30000), 1u);
    }
    CCorvelinDoc moved;
    CPackFolder* folder = AddFolder(moved.root, "/d");
    AddFile(*AddFolder(*folder, "/d/e"), "/d/e/f", 1);
    folder->AddChild(CPackItem::Create(nextTestId++, u"/elsewhere/g", 1));
    PathRankTable table;
    EXPECT_FALSE(table.Build(moved.root, 2));

    // Stopped, the walk ends before any folder and the table knows nothing.
    CCorvelinDoc plain;
    AddFile(*AddFolder(plain.root, "/d"), "/d/x", 1);
    const std::atomic<bool> stop{true};
    EXPECT_FALSE(table.Build(plain.root, 1, nextTestId, &stop));
    EXPECT_EQ(table.RankOf(nextTestId - 1), PathRankTable::kNone);
    EXPECT_TRUE(table.Build(plain.root, 1));
}

}  // namespace
