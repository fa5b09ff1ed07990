#include <gtest/gtest.h>

#include <stdexcept>

#include "PackTestSupport.h"
#include "packing/PackRunner.h"

using namespace packing_test;

namespace {

std::vector<uint32_t> EndNotices(const RecordingTarget& target) {
    std::vector<uint32_t> out;
    for (const Posted& p : target.Posts()) {
        if (p.message != WM_APP + 2) out.push_back(p.message);
    }
    return out;
}

TEST(PackRunner, CompletedRunPostsDoneAfterProgress) {
    CCorvelinDoc doc;
    for (int i = 0; i < 10; ++i)
        AddFile(doc.root, "/f" + std::to_string(i), 300);
    RecordingTarget target;
    CPackRunner runner(doc, 1000, &target);
    ASSERT_TRUE(runner.Start());
    runner.Join();
    EXPECT_EQ(runner.GetOutcome(), CPackRunner::Outcome::Completed);
    EXPECT_EQ(EndNotices(target), (std::vector<uint32_t>{WM_APP}));
    EXPECT_EQ(target.Posts().back().message, WM_APP);
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
    EXPECT_EQ(EndNotices(target), (std::vector<uint32_t>{WM_APP + 1}));
    EXPECT_TRUE(target.Progress().empty());
}

// Fails on the second progress notice, as an exhausted queue might.
class ThrowingTarget : public RecordingTarget {
public:
    void Post(uint32_t message, uint64_t wParam, int64_t lParam) override {
        if (message == WM_APP + 2 && ++progress_ == 2) throw std::runtime_error("queue full");
        RecordingTarget::Post(message, wParam, lParam);
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
    EXPECT_EQ(EndNotices(target), (std::vector<uint32_t>{kPackRunFailed}));
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
