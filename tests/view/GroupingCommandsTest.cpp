#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "view/GroupNumberInput.h"
#include "view/GroupingCommands.h"
#include "view/RowSelection.h"

using namespace view_test;

namespace {

// /d (expanded): subfolders A (holding A/in/deep.txt) and B, then file F; then /g.txt.
struct GroupList : ListFixture {
    CPackFolder* d = AddFolder(doc.root, "/d", true);
    CPackFolder* A = AddFolder(*d, "/d/A", true);
    CPackFolder* in = AddFolder(*A, "/d/A/in");
    CPackItem* deep = AddFile(*in, "/d/A/in/deep.txt", 1);
    CPackFolder* B = AddFolder(*d, "/d/B");
    CPackItem* F = AddFile(*d, "/d/F", 1);
    CPackItem* g = AddFile(doc.root, "/g.txt", 1);
    CGroupingCommands commands{view};
    GroupList() { view.OnUpdate(kHintEditable); }  // rows: d A in B F g.txt
    Strings Groups() const {
        Strings out;
        for (size_t row = 0; row < rows.Count(); ++row)
            out.push_back(Cell(row, ColumnGroup));
        return out;
    }
};

TEST(GroupingEnabling, FollowsModeSelectionAndGroupCount) {
    // Enabled: new group, put into, remove from, group each, group subfolders.
    struct Case {
        const char* what;
        bool packed;
        std::vector<size_t> selected;
        uint32_t groupCount;
        const char* enabled;
    } cases[] = {
        {"nothing selected", false, {}, 0, "00000"},
        {"one file, no groups", false, {4}, 0, "10010"},
        {"one folder, groups", false, {1}, 2, "11111"},
        {"folder and file", false, {1, 4}, 2, "11110"},
        {"packed mode", true, {0}, 2, "00000"},
    };
    for (const Case& c : cases) {
        GroupList t;
        t.doc.groupCount = c.groupCount;
        if (c.packed) t.view.OnUpdate(kHintPacked);
        const CRowSelection sel = CRowSelection::FromRows(c.selected);
        const CGroupingCommands& g = t.commands;
        const std::string enabled{"01"[g.CanNewGroup(sel)], "01"[g.CanAddToGroup()],
                                  "01"[g.CanRemoveFromGroup()], "01"[g.CanGroupEach(sel)],
                                  "01"[g.CanGroupSubfolders(sel)]};
        EXPECT_EQ(enabled, c.enabled) << c.what;
    }
}

// Group each and remove from groups: the view's grouping test.
TEST(GroupingCommands, NumberFromTheCountAndPutIntoGroups) {
    GroupList t;
    t.doc.groupCount = 3;
    EXPECT_FALSE(t.commands.NewGroup(CRowSelection()));
    EXPECT_EQ(t.doc.groupCount, 3u);
    t.observer.notices.clear();
    ASSERT_TRUE(t.commands.NewGroup(CRowSelection::FromRows({3, 4, 5})));
    EXPECT_EQ(t.observer.notices, Strings{"cells 0-5 2-2"});
    ASSERT_TRUE(t.commands.NewGroup(CRowSelection::FromRows({2})));  // a folder: its subtree too
    EXPECT_EQ(t.deep->group, 4u);
    EXPECT_EQ(t.Groups(), (Strings{"", "", "5", "4", "4", "4"}));
    EXPECT_TRUE(t.commands.AddToGroup(CRowSelection::FromRows({4, 5}), 2));
    EXPECT_EQ(t.Groups(), (Strings{"", "", "5", "4", "2", "2"}));
    EXPECT_EQ(t.doc.groupCount, 5u);
}

TEST(GroupingCommands, SubfoldersEachGetAGroupAndFilesKeepTheirs) {
    GroupList t;
    t.F->group = 0;
    t.doc.groupCount = 1;
    t.commands.GroupSubfolders(CRowSelection::FromRows({0}));
    EXPECT_EQ(t.A->group, 1u);
    EXPECT_EQ(t.deep->group, 1u);  // below a direct subfolder
    EXPECT_EQ(t.B->group, 2u);
    EXPECT_EQ(t.F->group, 0u);
    EXPECT_EQ(t.doc.groupCount, 3u);
}

TEST(GroupNumberInput, AcceptsOneToMaximumOnly) {
    for (const char16_t* refused : {u"4", u"0", u"", u"-1", u"2a", u"99999999999999999999"})
        EXPECT_EQ(ParseGroupNumber(refused, 3), std::nullopt) << zel::Utf16ToUtf8(refused);
    EXPECT_EQ(ParseGroupNumber(u"1", 3), 1u);
    EXPECT_EQ(ParseGroupNumber(u" 3 ", 3), 3u);
    EXPECT_EQ(ParseGroupNumber(u"4294967295", 4294967295u), 4294967295u);
}

}  // namespace
