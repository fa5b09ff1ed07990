#include <gtest/gtest.h>

#include <stdexcept>

#include "PackTestSupport.h"
#include "packing/PackRunner.h"

using namespace packing_test;

namespace {

TEST(PackRunner, CompletedRunPostsDoneAfterProgress) {
    CCorvelinDoc doc;
    for (int i = 0; i < 10; ++i)
        AddFile(doc.root, "/f" + std::to_string(i), 300);
    RecordingTarget target;
    CPackRunner runner(doc, 1000, &target);
    ASSERT_TRUE(runner.Start());
    runner.Join();
    EXPECT_EQ(runner.GetOutcome(), CPackRunner::Outcome::Completed);
    EXPECT_EQ(target.EndNotices(), (std::vector<PackNotice>{PackNotice::Completed}));
    EXPECT_TRUE(target.Posts().back().Is(PackNotice::Completed));
    EXPECT_EQ(target.Progress().size(), 10u);
    EXPECT_EQ(doc.packs.size(), 4u);
    EXPECT_EQ(doc.packSize, 1000u);
}

TEST(PackRunner, CancelGivenBeforeStartIsNotLost) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/a", 1);
    doc.cancelFlag = 1;
    RecordingTarget target;
    CPackRunner runner(doc, 1000, &target);
    ASSERT_TRUE(runner.Start());
    runner.Join();
    EXPECT_EQ(runner.GetOutcome(), CPackRunner::Outcome::Cancelled);
    EXPECT_EQ(target.EndNotices(), (std::vector<PackNotice>{PackNotice::Cancelled}));
    EXPECT_TRUE(target.Progress().empty());
}

// Cancels through the runner from inside the second progress notice, as the
// dialog's button would, once the placement has built packs.
class CancellingTarget : public RecordingTarget {
public:
    CPackRunner* runner = nullptr;
    void Post(const ZelNotice& notice) override {
        RecordingTarget::Post(notice);
        if (notice.Is(PackNotice::Progress) && ++progress_ == 2) runner->Cancel();
    }

private:
    int progress_ = 0;
};

TEST(PackRunner, CancelledRunLeavesNoPartialPacks) {
    CCorvelinDoc doc;
    for (int i = 0; i < 200; ++i)
        AddFile(doc.root, "/f" + std::to_string(i), 300);
    CancellingTarget target;
    CPackRunner runner(doc, 1000, &target);
    target.runner = &runner;
    ASSERT_TRUE(runner.Start());
    runner.Join();
    EXPECT_EQ(runner.GetOutcome(), CPackRunner::Outcome::Cancelled);
    EXPECT_EQ(target.EndNotices(), (std::vector<PackNotice>{PackNotice::Cancelled}));
    EXPECT_TRUE(doc.packs.empty());
    EXPECT_TRUE(doc.packResults.empty());
}

// Fails on the second progress notice, as an exhausted queue might.
class ThrowingTarget : public RecordingTarget {
public:
    void Post(const ZelNotice& notice) override {
        if (notice.Is(PackNotice::Progress) && ++progress_ == 2)
            throw std::runtime_error("queue full");
        RecordingTarget::Post(notice);
    }

private:
    int progress_ = 0;
};

TEST(PackRunner, ExceptionReleasesPartialResultsAndReportsFailure) {
    CCorvelinDoc doc;
    for (int i = 0; i < 5; ++i)
        AddFile(doc.root, "/f" + std::to_string(i), 10);
    ThrowingTarget target;
    CPackRunner runner(doc, 1000, &target);
    ASSERT_TRUE(runner.Start());
    runner.Join();
    EXPECT_EQ(runner.GetOutcome(), CPackRunner::Outcome::Failed);
    EXPECT_EQ(runner.Error(), "queue full");
    EXPECT_EQ(target.EndNotices(), (std::vector<PackNotice>{PackNotice::Failed}));
    EXPECT_TRUE(doc.packs.empty());
    EXPECT_TRUE(doc.packResults.empty());
    EXPECT_TRUE(doc.groupTable.empty());
}

TEST(PackRunner, TreeThatCannotBePackedFailsWithoutATarget) {
    CCorvelinDoc doc;
    doc.root.AppendChild(boost::make_shared<CPackItem>(0x80000000u, u"/late", 1));
    CPackRunner runner(doc, 1000, nullptr);
    ASSERT_TRUE(runner.Start());
    runner.Join();
    EXPECT_EQ(runner.GetOutcome(), CPackRunner::Outcome::Failed);
    EXPECT_FALSE(runner.Error().empty());
}

}  // namespace
