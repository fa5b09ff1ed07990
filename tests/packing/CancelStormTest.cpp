// Packing runs cancelled at random moments while the tree changes between runs:
// a completed run places every live file exactly once, a cancelled one nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "CancelStorm.h"
#include "PackTestSupport.h"
#include "model/ItemEraser.h"
#include "packing/PackRunner.h"

using namespace packing_test;

namespace {

class PackStorm : public ::testing::Test {
protected:
    static constexpr uint64_t kLimit = 10'000;
    CCorvelinDoc doc;
    std::mt19937 rng{77001};
    int folderCount = 0;

    // A folder of files, some of them tied into a group.
    void AddFolderOfFiles(int files) {
        const std::string name = "/f" + std::to_string(folderCount++);
        CPackFolder* folder = AddFolder(doc.root, name);
        std::uniform_int_distribution<uint64_t> size(0, 4000);
        const uint64_t group = rng() % 3 == 0 ? doc.NewGroup() : NoGroup;
        for (int i = 0; i < files; ++i) {
            const bool grouped = group != NoGroup && i % 4 == 0;
            AddFile(*folder, name + "/x" + std::to_string(i), size(rng), grouped ? group : NoGroup);
        }
    }

    // What the owner does between runs: erase items (forgetting the packs), add some.
    void ChangeTree() {
        if (!doc.root.children.empty() && rng() % 2 == 0) {
            CPackItem* victim = doc.root.children[rng() % doc.root.children.size()].get();
            const CPackFolder* folder = victim->AsFolder();  // the top holds folders only
            if (!folder->children.empty() && rng() % 4 == 0)
                victim = folder->children[rng() % folder->children.size()].get();
            victim->eraseMark = 1;
            CItemEraser eraser;
            doc.root.Accept(eraser);
            doc.ReleasePacks();
        }
        if (rng() % 3 == 0) AddFolderOfFiles(10 + static_cast<int>(rng() % 50));
    }

    // A pack pointing at a released item, or placing one twice, differs from the tree.
    void CheckCompleted(std::vector<CPackItem*> files) {
        std::vector<CPackItem*> placed;
        for (const PackBin& pack : doc.packs)
            placed.insert(placed.end(), pack.items.begin(), pack.items.end());
        std::sort(placed.begin(), placed.end());
        std::sort(files.begin(), files.end());
        ASSERT_EQ(placed, files);
        ExpectResultsFollowPacks(doc);
    }
};

TEST_F(PackStorm, RunsCancelledAtRandomMomentsWhileTheTreeChanges) {
    for (int i = 0; i < 30; ++i)
        AddFolderOfFiles(40);

    const auto runTime = testing_support::TimeOf([&] { ASSERT_TRUE(doc.Pack(kLimit)); });
    testing_support::CancelStorm(runTime * 3 / 2, 77002, [&](int, std::chrono::nanoseconds delay) {
        ChangeTree();
        std::vector<CPackItem*> files;
        CollectFiles(doc.root, files);

        RecordingTarget target;
        doc.cancelFlag.store(0);
        CPackRunner runner(doc, kLimit, &target);
        EXPECT_TRUE(runner.Start());
        testing_support::SpinFor(delay);
        runner.Cancel();
        runner.Join();

        // A failed run posts its own notice, which neither expectation allows.
        const bool completed = runner.GetOutcome() == CPackRunner::Outcome::Completed;
        EXPECT_EQ(target.ends, std::vector<PackNotice>{completed ? PackNotice::Completed
                                                                 : PackNotice::Cancelled})
            << runner.Error();
        if (completed) {
            CheckCompleted(files);
        } else {
            EXPECT_TRUE(doc.packs.empty() && doc.packResults.empty());
        }
        return completed;
    });
}

}  // namespace
