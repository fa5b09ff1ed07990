#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/ItemEraser.h"
#include "model/PackItem.h"
#include "model/PackItemFinder.h"
#include "model/PackItemSorter.h"

using testing_support::U;

namespace {

CPackFolderPtr Folder(uint32_t id, const std::u16string& path) {
    return CPackFolder::Create(id, path, 0);
}

CPackItemPtr File(uint32_t id, const std::u16string& path, uint64_t size = 0) {
    return CPackItem::Create(id, path, size);
}

std::vector<uint32_t> Ids(const CPackFolder& folder) {
    std::vector<uint32_t> ids;
    for (const auto& c : folder.children)
        ids.push_back(c->GetId());
    return ids;
}

}  // namespace

TEST(PackItem, NamesLoseTheExtensionAfterTheCutAndPathsKeepWholePairs) {
    const struct {
        std::u16string path, name;
    } cases[] = {
        {u"/d/archive.tar.gz", u"archive.tar"},
        {u"", u""},
        {u"/d/.bashrc", u""},
        {u"/d/my. file", u"my. file"},  // a space after the dot
        {u"/d.x/plain", u"plain"},      // dots of folders do not count
        {U("写真/夏の旅行.jpg"), U("夏の旅行")},
        // The cut took ".txt" away, so the last dot left starts the extension.
        {u"/a.b" + std::u16string(300, u'x') + u".txt", u"a"},
        {u"/" + std::u16string(300, u'y') + u".txt", std::u16string(kMaxPathUnits - 1, u'y')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(File(1, c.path)->GetName(), c.name);
        EXPECT_EQ(File(1, c.path)->GetPath(), c.path.substr(0, kMaxPathUnits));
    }
    // A pair that would straddle the cut is dropped whole.
    EXPECT_EQ(File(1, std::u16string(kMaxPathUnits - 1, u'x') + u"\U0001F600")->GetPath().size(),
              kMaxPathUnits - 1);
}

TEST(PackFolder, TheFinderFindsAnyIdAndErasureRemarksTheLastChild) {
    auto root = Folder(0, u"");
    auto a = Folder(1, u"/a");
    a->CreateChild(2, u"/a/x", 7);
    root->AddChild(a);
    auto y = File(3, u"/y"), last = File(4, u"/z");
    root->AppendChild(y);
    root->AppendChild(last);
    const std::pair<uint32_t, CPackItem*> finds[] = {
        {0, root.get()}, {1, a.get()}, {3, y.get()}, {99, nullptr}};
    for (const auto& [id, expected] : finds) {
        CPackItemFinder finder(id);
        EXPECT_EQ(root->Accept(finder), id != 3) << id;  // only a file match ends the walk
        EXPECT_EQ(finder.Found(), expected) << id;
    }

    // Marked subtrees go wherever they lie; the new last child is marked so.
    a->children[0]->eraseMark = 1;
    last->eraseMark = 1;
    CItemEraser eraser;
    root->Accept(eraser);
    EXPECT_EQ(Ids(*root), (std::vector<uint32_t>{1, 3}));
    EXPECT_TRUE(a->children.empty());
    EXPECT_EQ(y->siblingPosition, CPackItem::PositionLast);
}

TEST(PackFolder, SortPutsFoldersFirstThenPathsIgnoringCase) {
    auto top = Folder(1, u"/t");
    for (const auto& [id, path] : std::vector<std::pair<uint32_t, std::u16string>>{
             {2, u"/t/b.txt"}, {3, u"/t/A.txt"}, {8, u"/t/a.txt"}, {9, u"/t/A.TXT"}})
        top->AddChild(File(id, path));
    auto sub = Folder(4, u"/t/Sub");
    sub->AddChild(File(5, u"/t/Sub/z"));
    sub->AddChild(File(6, u"/t/Sub/_a"));
    top->AddChild(sub);
    top->AddChild(Folder(7, u"/t/a"));
    CPackItemSorter sorter;
    top->Accept(sorter);
    // Case-folded equal names keep plain code-unit order; "_" (0x5F) comes before letters.
    EXPECT_EQ(Ids(*top), (std::vector<uint32_t>{7, 4, 9, 3, 8, 2}));
    EXPECT_EQ(Ids(*sub), (std::vector<uint32_t>{6, 5}));
    EXPECT_EQ(top->children.front()->siblingPosition, CPackItem::PositionFirst);
    EXPECT_EQ(top->children.back()->siblingPosition, CPackItem::PositionLast);

    // Siblings from different folders (dropped paths) share no prefix.
    auto root = Folder(0, u"");
    root->AddChild(File(1, u"/x/b"));
    root->AddChild(File(2, u"/Y/a"));
    root->AddChild(File(3, u"/x/a/c"));
    root->SortChildren();
    EXPECT_EQ(Ids(*root), (std::vector<uint32_t>{3, 1, 2}));
}

// The sort decides most pairs by their first folded units alone: names that
// share them, differ past them, end within them or differ in case or in a
// unit's lowest bit must still come out in the order of whole paths.
TEST(PackFolder, SortAgreesWithWholePathOrderOnNamesAlike) {
    // Few units, so that many names share their first ones; U+FF21 fills
    // a unit's top bit.
    const std::u16string alphabets[] = {u"aAbB`@_-.0\u00e9\u00c9\u5199\uff21", u"aA`\uff21"};
    std::mt19937 rng(3);
    for (int round = 0; round < 20; ++round) {
        const std::u16string& units = alphabets[round % 2];
        auto folder = Folder(1, u"/f");
        for (uint32_t id = 2; id < 300; ++id) {
            std::u16string name;
            for (size_t n = 1 + rng() % 6; n > 0; --n)
                name += units[rng() % units.size()];
            const std::u16string path = u"/f/" + name;
            if (rng() % 4 == 0) {
                folder->AddChild(Folder(id, path));
            } else {
                folder->CreateChild(id, path, 0);
            }
        }
        folder->SortChildren();
        for (size_t i = 1; i < folder->children.size(); ++i) {
            ASSERT_FALSE(ChildOrderLess(*folder->children[i], *folder->children[i - 1]))
                << zel::Utf16ToUtf8(folder->children[i - 1]->GetPath()) << " before "
                << zel::Utf16ToUtf8(folder->children[i]->GetPath());
        }
    }
}

// Items below a folder keep only their names; these are the ways a path could
// then come out wrong.
TEST(ItemPath, NamesBelowAFolderGiveTheWholePathAndMovesKeepIt) {
    auto root = Folder(0, u"");
    auto top = Folder(1, u"/");  // the root folder dropped
    root->AppendChild(top);
    top->AddChild(Folder(2, u"/m"));
    auto sub = Folder(3, u"/m/a.d");
    top->children[0]->AsFolder()->AddChild(sub);
    sub->CreateChild(4, u"/m/a.d/x.txt", 5);
    sub->CreateChild(5, u"/elsewhere/y.txt", 6);  // does not continue its folder's path
    const CPackItem& x = *sub->children[0];
    EXPECT_EQ(x.GetPath(), u"/m/a.d/x.txt");
    EXPECT_EQ(sub->children[1]->GetPath(), u"/elsewhere/y.txt");
    // A folder path that ends in "/" takes no second one; a path with two keeps both.
    auto odd = Folder(6, u"/m/");
    root->AppendChild(odd);
    odd->CreateChild(7, u"/m//two", 1);
    odd->CreateChild(8, u"/m/one", 1);
    EXPECT_EQ(odd->children[0]->GetPath(), u"/m//two");
    EXPECT_EQ(odd->children[1]->GetPath(), u"/m/one");

    // Moved to the top, the folder and what it holds keep their paths.
    auto other = Folder(0, u"");
    other->AppendChild(sub);
    top->children.clear();
    EXPECT_EQ(sub->GetPath(), u"/m/a.d");
    EXPECT_EQ(sub->GetName(), u"a");
    EXPECT_EQ(x.GetPath(), u"/m/a.d/x.txt");

    // A name at the end of the longest path keeps its place when it moves.
    const std::u16string deepPath = u"/" + std::u16string(kMaxPathUnits - 5, u'd');
    auto deep = Folder(9, deepPath);
    deep->CreateChild(10, deepPath + u"/n.e", 1);
    CPackItemPtr moved = deep->children[0];
    other->AppendChild(moved);
    EXPECT_EQ(moved->GetPath(), deepPath + u"/n.e");
    EXPECT_EQ(moved->GetName(), u"n");
}

TEST(PackItem, GroupsHoldEveryNumberARunHandsOut) {
    auto item = File(1, u"/a");
    EXPECT_EQ(item->group, NoGroup);
    EXPECT_EQ(item->autoGroupId, NoAutoGroup);
    for (uint64_t number : {uint64_t{0}, uint64_t{0xFFFFFFFE}, NoGroup}) {
        item->SetGroup(number);
        item->autoGroupId = number;
        EXPECT_EQ(item->group, number);
        EXPECT_EQ(item->autoGroupId, number);
    }
    // Only all-ones means none: a number that does not fit is refused, not wrapped.
    EXPECT_THROW(item->SetGroup(0xFFFFFFFF), std::out_of_range);
    EXPECT_EQ(item->group, NoGroup);
}
