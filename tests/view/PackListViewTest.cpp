#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "view/RunCommand.h"

using namespace view_test;

namespace {

// /data (expanded) holding b (collapsed: x.txt, y.txt and c, expanded, holding
// z) and a.txt; then /top.bin.
struct TreeList : ListFixture {
    CPackFolder* data = AddFolder(doc.root, "/data", true);
    CPackFolder* b = AddFolder(*data, "/data/b");
    CPackItem* x = AddFile(*b, "/data/b/x.txt", 10);
    CPackItem* y = AddFile(*b, "/data/b/y.txt", 20);
    CPackFolder* c = AddFolder(*b, "/data/b/c", true);
    CPackItem* z = AddFile(*c, "/data/b/c/z", 1);
    CPackItem* a = AddFile(*data, "/data/a.txt", 1536);
    CPackItem* top = AddFile(doc.root, "/top.bin", 2400016);
};

TEST(EditableRows, ShowExpandedFoldersOnlyWithTheirCells) {
    TreeList t;
    t.a->group = 4;
    t.view.OnUpdate(kHintEditable);
    EXPECT_EQ(t.Paths(), (Strings{"  /data", "    b", "    a.txt", "  top.bin"}));
    EXPECT_EQ(t.observer.notices, Strings{"reset"});
    const Strings cells{"/data|[Dir]|||", "b|[Dir]|||", "a.txt|1.50 KB|5||", "top.bin|2.28 MB|||"};
    for (size_t row = 0; row < 4; ++row)
        EXPECT_EQ(t.Cells(row), cells[row]);
    // A new size unit or group numbers change whole columns.
    t.observer.notices.clear();
    t.view.RefreshSizeColumn(2);  // KB
    EXPECT_EQ(t.Cell(2, ColumnSize), "2 KB");
    EXPECT_EQ(t.Cell(0, ColumnSize), "[Dir]");
    t.view.RefreshGroupColumn();
    EXPECT_EQ(t.observer.notices, (Strings{"cells 0-3 1-1", "cells 0-3 2-2"}));
}

TEST(EditableRows, ExpandAndCollapseAreOneBlockEachAndRestoreTheRows) {
    TreeList t;
    t.view.OnUpdate(kHintEditable);
    const std::vector<ListRow> before = t.rows.All();
    t.observer.notices.clear();

    ASSERT_TRUE(t.view.ToggleTreeExpand(1));
    EXPECT_EQ(t.Paths(), (Strings{"  /data", "    b", "      x.txt", "      y.txt", "      c",
                                  "        z", "    a.txt", "  top.bin"}));
    ASSERT_TRUE(t.view.ToggleTreeExpand(1));
    EXPECT_EQ(t.rows.All(), before);
    EXPECT_EQ(t.observer.notices, (Strings{"cells 1-1 0-0", "+2,4", "cells 1-1 0-0", "-2,4"}));

    // Collapsing /data takes b's rows too when b is expanded; b stays expanded.
    t.view.ToggleTreeExpand(1);
    t.observer.notices.clear();
    t.view.ToggleTreeExpand(0);
    EXPECT_EQ(t.Paths(), (Strings{"  /data", "  top.bin"}));
    EXPECT_EQ(t.observer.notices, (Strings{"cells 0-0 0-0", "-1,6"}));
}

// Packs of 60+30 and 50+20 in a pack size of 100.
struct PackedList : ListFixture {
    PackedList() {
        for (auto [path, size] :
             {std::pair{"/p/60", 60}, {"/p/50", 50}, {"/p/30", 30}, {"/p/20", 20}})
            AddFile(doc.root, path, size);
        CRunCommand run(view);
        run.BeforeRun();
        run.AfterRun(doc.Pack(100), RunPlan{100, 100});
    }
};

TEST(PackedRows, CollapsedHeadersWithTheirCellsThatExpandOneAtATime) {
    PackedList t;
    ASSERT_EQ(t.view.Mode(), ListMode::Packed);
    EXPECT_EQ(t.Cells(0), "Pack 1|90||1|900|370 KB（収まりません）");
    EXPECT_EQ(t.Cells(1), "Pack 2|70||2|700|370 KB（収まりません）");
    t.doc.packSize = 80;  // the medium, smaller than pack 1 holds
    t.view.OnUpdate(kHintPacked);
    EXPECT_EQ(t.Cell(0, ColumnRate), "over");
    EXPECT_EQ(t.Cell(1, ColumnRate), "875");

    // Expanding and collapsing a pack leaves the headers.
    t.observer.notices.clear();
    ASSERT_TRUE(t.view.TogglePackExpand(1));
    EXPECT_EQ(t.Paths(), (Strings{"Pack 1", "Pack 2", "  /p/20", "  /p/50"}));
    t.doc.packResults[1].head->item->group = 0;
    EXPECT_EQ(t.Cells(2), "/p/20|20|1|||");
    EXPECT_FALSE(t.view.TogglePackExpand(2));  // an item row
    ASSERT_TRUE(t.view.TogglePackExpand(1));
    EXPECT_EQ(t.Paths(), (Strings{"Pack 1", "Pack 2"}));
    EXPECT_EQ(t.observer.notices, (Strings{"cells 1-1 0-0", "+2,2", "cells 1-1 0-0", "-2,2"}));
    // A rebuild starts every pack collapsed again.
    ASSERT_TRUE(t.view.TogglePackExpand(0));
    t.view.OnUpdate(kHintPacked);
    EXPECT_EQ(t.rows.Count(), 2u);
    EXPECT_FALSE(t.rows.DrawInfo(0).expanded);
    // An image must fit the medium's real bytes, not the pack size.
    CRunCommand(t.view).AfterRun(true, RunPlan{100, 100, 1'000'000});
    EXPECT_EQ(t.Cell(0, ColumnImage), "370 KB");
    // Images the run estimated are shown as they are.
    CRunCommand(t.view).AfterRun(true, RunPlan{100, 100, 1'000'000}, {2'000'000, 3000});
    EXPECT_EQ(t.Cell(0, ColumnImage), "1.90 MB（収まりません）");
    EXPECT_EQ(t.Cell(1, ColumnImage), "2.92 KB");
}

}  // namespace
