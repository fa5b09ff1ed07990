#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "view/DeleteCommand.h"
#include "view/RowSelection.h"
#include "view/RunCommand.h"

using namespace view_test;

namespace {

// /d (expanded) holding /d/x (60) and /d/y (50); then /z (30).
struct RunList : ListFixture {
    CPackFolder* d = AddFolder(doc.root, "/d", true);
    CPackItem* x = AddFile(*d, "/d/x", 60);
    CPackItem* y = AddFile(*d, "/d/y", 50);
    CPackItem* z = AddFile(doc.root, "/z", 30);
    CRunCommand run{view};
    CDeleteCommand del{view};
    RunList() { view.OnUpdate(kHintEditable); }

    void Run(bool completed, const ListPlace& shown = {}) {
        run.BeforeRun(shown);
        const bool packed = doc.Pack(100);
        run.AfterRun(completed && packed, RunPlan{200, 100});
    }
};

TEST(RunCommand, EnablingAndModesAroundRunBackAndCancel) {
    ListFixture empty;
    EXPECT_FALSE(CRunCommand(empty.view).CanRun());
    RunList t;
    EXPECT_TRUE(t.run.CanRun() && !t.run.CanBack() && !t.run.CanExport() && !t.run.CanSave());
    t.Run(true);
    EXPECT_EQ(t.doc.packSize, 200u);  // the full size, not the working one
    EXPECT_TRUE(t.run.CanRun() && t.run.CanBack() && t.run.CanExport() && t.run.CanSave());
    t.run.Back();
    // The packs are kept, but Ctrl+S must not write what the list no longer shows.
    EXPECT_FALSE(t.run.CanBack() || t.run.CanExport() || t.run.CanSave());
    EXPECT_EQ(t.doc.packs.size(), 2u);

    // A cancel from the packed mode drops the packs and shows the tree.
    t.Run(true);
    t.doc.cancelFlag = 1;  // BeforeRun must clear it, or the run would stop at once
    t.Run(true);
    EXPECT_EQ(t.view.Mode(), ListMode::Packed);
    t.Run(false);
    EXPECT_EQ(t.view.Mode(), ListMode::Editable);
    EXPECT_TRUE(t.doc.packs.empty() && t.doc.packResults.empty());
    EXPECT_EQ(t.rows.Count(), 4u);
}

TEST(RunCommand, BackReturnsToTheTreesPlaceWhenTheRunStarted) {
    RunList t;
    t.Run(true, {2, 3});
    t.Run(true, {0, 0});  // from the packs: the tree's place stays
    const ListPlace place = t.run.Back();
    EXPECT_EQ(place.top, std::optional<size_t>(2));
    EXPECT_EQ(place.current, std::optional<size_t>(3));
}

TEST(DeleteCommand, RemovesSubtreesAndReleasesThePacksThatPointedAtThem) {
    RunList t;
    t.Run(true);
    // The packs view deletes nothing.
    EXPECT_FALSE(t.del.Delete(CRowSelection::FromRows({0})));
    EXPECT_EQ(t.doc.packs.size(), 2u);
    EXPECT_EQ(t.doc.root.children.size(), 2u);
    t.run.Back();
    EXPECT_FALSE(t.del.Delete(CRowSelection()));
    ASSERT_TRUE(t.del.Delete(CRowSelection::FromRows({0, 2})));  // /d and its /d/y
    EXPECT_EQ(t.Paths(), Strings{"  z"});
    EXPECT_EQ(t.doc.root.children.size(), 1u);  // gone from the tree, not only from the list
    EXPECT_EQ(t.observer.notices.back(), "reset");
    EXPECT_TRUE(t.doc.packs.empty() && t.doc.packResults.empty());
    EXPECT_FALSE(t.run.CanSave());
}

}  // namespace
