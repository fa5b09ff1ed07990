#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/ItemEraser.h"
#include "model/PackItem.h"
#include "model/PackItemFinder.h"
#include "model/PackItemSorter.h"
#include "model/PackItemTraverser.h"

using testing_support::U;

namespace {

CPackFolderPtr Folder(uint32_t id, const std::string& path) {
    return boost::make_shared<CPackFolder>(id, U(path), 0);
}

CPackItemPtr File(uint32_t id, const std::string& path, uint64_t size = 0) {
    return boost::make_shared<CPackItem>(id, U(path), size);
}

// Records the calls a walk makes, as "E:id", "F:id", "I:id", "L:id".
class Recorder : public CPackItemTraverser {
public:
    explicit Recorder(uint32_t stopAt = 0, uint32_t skipFolder = UINT32_MAX)
        : stopAt_(stopAt), skipFolder_(skipFolder) {}
    bool VisitFolder(CPackFolder& f) override {
        calls.push_back("F:" + std::to_string(f.GetId()));
        return f.GetId() != skipFolder_;
    }
    bool VisitItem(CPackItem& i) override {
        calls.push_back("I:" + std::to_string(i.GetId()));
        return i.GetId() != stopAt_;
    }
    void EnterFolder(CPackFolder& f) override { calls.push_back("E:" + std::to_string(f.GetId())); }
    void LeaveFolder(CPackFolder& f) override { calls.push_back("L:" + std::to_string(f.GetId())); }
    std::vector<std::string> calls;

private:
    uint32_t stopAt_;
    uint32_t skipFolder_;
};

}  // namespace

TEST(PackItem, NameIsFileNameWithoutExtension) {
    EXPECT_EQ(File(1, "/d/archive.tar.gz")->GetName(), U("archive.tar"));
    EXPECT_EQ(File(1, "/d/README")->GetName(), U("README"));
    EXPECT_EQ(Folder(1, "/d/data.old")->GetName(), U("data"));
    EXPECT_EQ(File(1, "/d/.bashrc")->GetName(), U(""));
    EXPECT_EQ(File(1, "/d/my. file")->GetName(), U("my. file"));  // a space after the dot
    EXPECT_EQ(File(1, "/d.x/plain")->GetName(), U("plain"));      // dots of folders do not count
    EXPECT_EQ(File(1, "写真/夏の旅行.jpg")->GetName(), U("夏の旅行"));
    EXPECT_EQ(File(1, "")->GetPath(), U(""));
}

TEST(PackItem, LongPathsAreCutWithoutSplittingSurrogates) {
    const std::u16string exact(kMaxPathUnits, u'a');
    EXPECT_EQ(CPackItem(1, exact, 0).GetPath(), exact);

    // The name is cut first and loses its extension afterwards: the cut took
    // ".txt" away, so the last dot left starts the extension.
    const std::u16string longer = u"/a.b" + std::u16string(300, u'x') + u".txt";
    CPackItem item(1, longer, 0);
    EXPECT_EQ(item.GetPath(), longer.substr(0, kMaxPathUnits));
    EXPECT_EQ(item.GetName(), u"a");
    const std::u16string dotless = u"/" + std::u16string(300, u'y') + u".txt";
    EXPECT_EQ(CPackItem(1, dotless, 0).GetName(), dotless.substr(1, kMaxPathUnits - 1));

    // A pair that would straddle the cut is dropped whole.
    std::u16string pairs(kMaxPathUnits - 1, u'x');
    pairs += u"\U0001F600";
    CPackItem emoji(1, pairs, 0);
    EXPECT_EQ(emoji.GetPath().size(), kMaxPathUnits - 1);
}

TEST(PackItem, SetGroupOnFolderReachesWholeSubtree) {
    auto top = Folder(1, "/a");
    auto sub = Folder(2, "/a/b");
    sub->AddChild(File(3, "/a/b/c"));
    top->AddChild(sub);
    top->AddChild(File(4, "/a/d"));
    top->SetGroup(3);
    EXPECT_EQ(top->group, 3u);
    EXPECT_EQ(sub->group, 3u);
    EXPECT_EQ(sub->children[0]->group, 3u);
    EXPECT_EQ(top->children[1]->group, 3u);
    top->SetGroup(NoGroup);
    EXPECT_EQ(sub->children[0]->group, NoGroup);
}

TEST(PackFolder, SiblingMarksAndLevels) {
    auto folder = Folder(1, "/a");
    folder->level = 0;
    auto first = File(2, "/a/1");
    folder->AppendChild(first);
    EXPECT_EQ(first->siblingPosition, CPackItem::PositionLast);
    auto second = File(3, "/a/2");
    folder->AppendChild(second);
    EXPECT_EQ(first->siblingPosition, CPackItem::PositionOther);
    EXPECT_EQ(second->siblingPosition, CPackItem::PositionLast);
    EXPECT_EQ(second->level, 1u);
    EXPECT_EQ(second->parent, folder.get());

    // AddChild does not revisit the child's descendants.
    auto deep = Folder(4, "/x");
    deep->level = 4;
    deep->CreateChild(5, U("/x/y"), 7);
    folder->AddChild(deep);
    EXPECT_EQ(deep->level, 1u);
    EXPECT_EQ(deep->children[0]->level, 5u);
    EXPECT_EQ(deep->children[0]->GetSize(), 7u);

    second->eraseMark = 1;
    deep->eraseMark = 1;
    folder->EraseMarked();
    ASSERT_EQ(folder->children.size(), 1u);
    EXPECT_EQ(folder->children[0], first);
    EXPECT_EQ(first->siblingPosition, CPackItem::PositionLast);
}

TEST(PackFolder, WalkOrderSkipsAndStops) {
    auto root = Folder(0, "");
    auto a = Folder(1, "/a");
    a->AddChild(File(2, "/a/x"));
    root->AddChild(a);
    root->AddChild(File(3, "/y"));
    auto empty = Folder(4, "/e");
    root->AddChild(empty);

    Recorder all;
    EXPECT_TRUE(root->Accept(all));
    EXPECT_EQ(all.calls, (std::vector<std::string>{"E:0", "F:0", "E:1", "F:1", "I:2", "L:1", "I:3",
                                                   "E:4", "F:4", "L:4", "L:0"}));

    Recorder skip(0, 1);
    EXPECT_TRUE(root->Accept(skip));
    EXPECT_EQ(skip.calls, (std::vector<std::string>{"E:0", "F:0", "E:1", "F:1", "L:1", "I:3", "E:4",
                                                    "F:4", "L:4", "L:0"}));

    Recorder stop(2);
    EXPECT_FALSE(root->Accept(stop));
    EXPECT_EQ(stop.calls, (std::vector<std::string>{"E:0", "F:0", "E:1", "F:1", "I:2"}));
}

TEST(Traversers, FinderFindsFilesFoldersAndRoot) {
    auto root = Folder(0, "");
    auto a = Folder(1, "/a");
    a->AddChild(File(2, "/a/x"));
    root->AddChild(a);
    root->AddChild(File(3, "/y"));

    CPackItemFinder byRoot(0);
    root->Accept(byRoot);
    EXPECT_EQ(byRoot.Found(), root.get());

    CPackItemFinder byFolder(1);
    EXPECT_TRUE(root->Accept(byFolder));  // a folder match does not end the walk
    EXPECT_EQ(byFolder.Found(), a.get());

    CPackItemFinder byFile(3);
    EXPECT_FALSE(root->Accept(byFile));
    EXPECT_EQ(byFile.Found(), root->children[1].get());

    CPackItemFinder none(99);
    EXPECT_TRUE(root->Accept(none));
    EXPECT_EQ(none.Found(), nullptr);
}

TEST(Traversers, EraserRemovesMarkedSubtreesAnywhere) {
    auto root = Folder(0, "");
    auto a = Folder(1, "/a");
    auto inner = File(2, "/a/x");
    a->AddChild(inner);
    auto b = Folder(3, "/b");
    auto keep = File(4, "/b/keep");
    auto drop = File(5, "/b/drop");
    b->AppendChild(keep);
    b->AppendChild(drop);
    root->AddChild(a);
    root->AddChild(b);

    a->eraseMark = 1;
    inner->eraseMark = 1;
    drop->eraseMark = 1;
    CItemEraser eraser;
    root->Accept(eraser);
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(root->children[0], b);
    ASSERT_EQ(b->children.size(), 1u);
    EXPECT_EQ(b->children[0], keep);
    EXPECT_EQ(keep->siblingPosition, CPackItem::PositionLast);
}

TEST(Traversers, SorterPutsFoldersFirstThenPathsIgnoringCase) {
    auto top = Folder(1, "/t");
    top->AddChild(File(2, "/t/b.txt"));
    top->AddChild(File(3, "/t/A.txt"));
    auto sub = Folder(4, "/t/Sub");
    sub->AddChild(File(5, "/t/Sub/z"));
    sub->AddChild(File(6, "/t/Sub/_a"));
    top->AddChild(sub);
    top->AddChild(Folder(7, "/t/a"));
    top->AddChild(File(8, "/t/a.txt"));
    top->AddChild(File(9, "/t/A.TXT"));

    CPackItemSorter sorter;
    top->Accept(sorter);
    std::vector<uint32_t> order;
    for (auto& c : top->children)
        order.push_back(c->GetId());
    // "A.TXT" and "A.txt" and "a.txt" fold equal; plain code units fix their order.
    EXPECT_EQ(order, (std::vector<uint32_t>{7, 4, 9, 3, 8, 2}));
    EXPECT_EQ(top->children.front()->siblingPosition, CPackItem::PositionFirst);
    EXPECT_EQ(top->children.back()->siblingPosition, CPackItem::PositionLast);
    EXPECT_EQ(sub->children[0]->GetId(), 6u);  // "_" (0x5F) before letters
}

TEST(PackFolder, SortChildrenMatchesTheFullPathOrderForAnyPrefixes) {
    // The sort compares only what follows the siblings' shared prefix; check it
    // against the plain full-path order, with shared and unshared prefixes.
    std::mt19937 rng(7);
    const std::u16string alphabet = u"aAbB_.-/z";
    for (int round = 0; round < 200; ++round) {
        auto folder = Folder(1, "/base");
        const bool shared = round % 2 == 0;
        for (int i = 0; i < 30; ++i) {
            std::u16string path = shared ? u"/base/" : (rng() % 2 ? u"/x/" : u"/Y/");
            const int length = 1 + static_cast<int>(rng() % 5);
            for (int k = 0; k < length; ++k)
                path += alphabet[rng() % alphabet.size()];
            if (rng() % 3 == 0) {
                folder->AddChild(boost::make_shared<CPackFolder>(i + 2, path, 0));
            } else {
                folder->AddChild(boost::make_shared<CPackItem>(i + 2, path, 0));
            }
        }
        std::vector<CPackItemPtr> expected = folder->children;
        std::stable_sort(
            expected.begin(), expected.end(),
            [](const CPackItemPtr& a, const CPackItemPtr& b) { return ChildOrderLess(*a, *b); });
        folder->SortChildren();
        ASSERT_EQ(folder->children.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            // Equal paths may come in either order; compare what the order decides.
            EXPECT_EQ(folder->children[i]->GetPath(), expected[i]->GetPath()) << round << ":" << i;
            EXPECT_EQ(folder->children[i]->IsFolder(), expected[i]->IsFolder())
                << round << ":" << i;
        }
    }
}
