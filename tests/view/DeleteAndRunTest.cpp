#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "view/DeleteCommand.h"
#include "view/PackDropData.h"
#include "view/RowSelection.h"
#include "view/RunCommand.h"

using namespace view_test;
using Strings = std::vector<std::string>;

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

    void Run(bool completed) {
        run.BeforeRun();
        const bool packed = doc.Pack(100);
        run.AfterRun(completed && packed, RunPlan{200, 100});
    }
};

TEST(RunCommand, PlanReadsNamesSizesAndFillRates) {
    const PackInfoList list = DefaultPackInfoList();
    struct Case {
        const char16_t* size;
        const char16_t* rate;
        std::optional<uint64_t> full, working;
    } cases[] = {
        {u"DVD(4.7GB)", u"100%", 4700000000, 4700000000},
        {u"4700M", u"95%", 4700000000, 4465000000},
        {u"700M", u"", 700000000, 0},
        {u"4.7G", u"100%", std::nullopt, std::nullopt},
        {u"dvd(4.7GB)", u"100%", std::nullopt, std::nullopt},
    };
    RunList t;
    for (const Case& c : cases) {
        const std::optional<RunPlan> plan = t.run.Plan(c.size, c.rate, list);
        ASSERT_EQ(plan.has_value(), c.full.has_value()) << zel::Utf16ToUtf8(c.size);
        if (!plan) continue;
        EXPECT_EQ(plan->fullSize, *c.full);
        EXPECT_EQ(plan->workingSize, *c.working);
    }
    EXPECT_EQ(zel::Utf16ToUtf8(kInvalidPackSizeText), "パックサイズに正しい値を入力してください");
}

TEST(RunCommand, EnablingAndModesAroundRunAndBack) {
    ListFixture empty;
    EXPECT_FALSE(CRunCommand(empty.view).CanRun());

    RunList t;
    EXPECT_TRUE(t.run.CanRun());
    EXPECT_FALSE(t.run.CanBack());
    EXPECT_FALSE(t.run.CanExport());
    t.Run(true);
    EXPECT_EQ(t.doc.packSize, 200u);  // the full size, not the working one
    EXPECT_EQ(t.Paths(), (Strings{"Pack 1", "Pack 2"}));
    EXPECT_EQ(t.Cell(0, ColumnRate), "450");
    EXPECT_TRUE(t.run.CanRun() && t.run.CanBack() && t.run.CanExport());
    t.run.Back();
    EXPECT_EQ(t.view.Mode(), ListMode::Editable);
    EXPECT_EQ(t.doc.packs.size(), 2u);  // back keeps the packs for export
    EXPECT_FALSE(t.run.CanExport());
}

TEST(RunCommand, CancelFromThePackedModeDropsPacksAndShowsTheTree) {
    RunList t;
    t.Run(true);
    t.doc.cancelFlag = 1;  // BeforeRun must clear it, or the run would stop at once
    t.Run(true);
    EXPECT_EQ(t.view.Mode(), ListMode::Packed);
    t.Run(false);
    EXPECT_EQ(t.view.Mode(), ListMode::Editable);
    EXPECT_TRUE(t.doc.packs.empty());
    EXPECT_TRUE(t.doc.packResults.empty());
    EXPECT_EQ(t.rows.Count(), 4u);
}

TEST(DeleteCommand, RemovesSelectedItemsWithTheirSubtrees) {
    RunList t;
    EXPECT_FALSE(t.del.Delete(CRowSelection()));
    ASSERT_TRUE(t.del.Delete(CRowSelection::FromRows({0, 2})));  // /d and its /d/y
    EXPECT_EQ(t.Paths(), Strings{"  z"});
    ASSERT_EQ(t.doc.root.children.size(), 1u);
    EXPECT_EQ(t.doc.root.children[0].get(), t.z);
    EXPECT_EQ(t.observer.notices.back(), "reset");
}

TEST(DeleteCommand, ReleasesThePacksThatPointedAtItems) {
    RunList t;
    t.Run(true);
    EXPECT_FALSE(t.del.Delete(CRowSelection::FromRows({0})));  // packed mode: nothing
    EXPECT_EQ(t.rows.Count(), 2u);
    t.run.Back();
    ASSERT_TRUE(t.del.Delete(CRowSelection::FromRows({3})));  // /z
    EXPECT_TRUE(t.doc.packs.empty());
    EXPECT_TRUE(t.doc.packResults.empty());
    EXPECT_FALSE(MakePackDropData(t.doc, 0));
}

}  // namespace
