#include "packing/PackRunner.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "PackTestSupport.h"

using namespace packing_test;

namespace {

// A run ends with its one notice after its progress; a run cancelled before it
// starts or while it places, or one that fails, leaves no partial packs.
TEST(PackRunner, CancelledAndFailedRunsReleaseTheirPartialPacks) {
    enum class Act { Complete, CancelBeforeStart, CancelWhilePlacing, Throw };
    for (const Act act :
         {Act::Complete, Act::CancelBeforeStart, Act::CancelWhilePlacing, Act::Throw}) {
        SCOPED_TRACE(static_cast<int>(act));
        CCorvelinDoc doc;
        for (int i = 0; i < 200; ++i)
            AddFile(doc.root, "/f" + std::to_string(i), 300, i % 50 ? NoGroup : doc.NewGroup());
        RecordingTarget target;
        CPackRunner runner(doc, 1000, &target);
        if (act == Act::CancelBeforeStart) doc.cancelFlag = 1;
        // At the second progress notice the placement has built packs.
        target.onProgress = [&](int n) {
            if (n == 2 && act == Act::CancelWhilePlacing) runner.Cancel();
            if (n == 2 && act == Act::Throw) throw std::runtime_error("full");
        };
        ASSERT_TRUE(runner.Start());
        runner.Join();
        const bool failed = act == Act::Throw;
        EXPECT_FALSE(target.progressAfterEnd);
        if (act == Act::Complete) {
            EXPECT_EQ(runner.GetOutcome(), CPackRunner::Outcome::Completed);
            EXPECT_EQ(target.ends, (std::vector<PackNotice>{PackNotice::Completed}));
            EXPECT_EQ(target.progress, 100);  // percentages of 200 entries
            EXPECT_EQ(doc.packSize, 1000u);
            EXPECT_EQ(doc.packs.size(), 67u);  // three files of 300 each
            continue;
        }
        EXPECT_EQ(runner.GetOutcome(),
                  failed ? CPackRunner::Outcome::Failed : CPackRunner::Outcome::Cancelled);
        EXPECT_EQ(runner.Error(), failed ? "full" : "");
        EXPECT_EQ(target.ends,
                  std::vector<PackNotice>{failed ? PackNotice::Failed : PackNotice::Cancelled});
        EXPECT_EQ(target.progress == 0, act == Act::CancelBeforeStart);
        EXPECT_TRUE(doc.packs.empty() && doc.packResults.empty());
        EXPECT_TRUE(!failed || doc.groupTable.empty());
    }
}

}  // namespace
