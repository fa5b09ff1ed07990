// Packing runs cancelled at random moments while the tree changes between runs:
// whatever a run leaves points only at live items, and a run that completes
// places every file exactly once.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "PackTestSupport.h"
#include "model/ItemEraser.h"
#include "packing/PackRunner.h"

using namespace packing_test;

namespace {

int StormIterations() {
    const char* text = std::getenv("CORVELIN_STORM_ITERATIONS");
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : 1000;
}

void LiveFiles(CPackFolder& folder, std::set<const CPackItem*>& live,
               std::vector<CPackItem*>& files) {
    for (const auto& child : folder.children) {
        live.insert(child.get());
        if (child->IsFolder()) {
            LiveFiles(*child->AsFolder(), live, files);
        } else {
            files.push_back(child.get());
        }
    }
}

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

    // What the owner does between runs: take some items away (forgetting the
    // packs, as it must), bring new ones.
    void ChangeTree() {
        if (!doc.root.children.empty() && rng() % 2 == 0) {
            auto& victim = doc.root.children[rng() % doc.root.children.size()];
            CPackFolder* folder = victim->AsFolder();
            if (folder && !folder->children.empty() && rng() % 4 == 0) {
                folder->children[rng() % folder->children.size()]->eraseMark = 1;
            } else {
                victim->eraseMark = 1;
            }
            CItemEraser eraser;
            doc.root.Accept(eraser);
            doc.ReleasePacks();
        }
        if (rng() % 3 == 0) AddFolderOfFiles(10 + static_cast<int>(rng() % 50));
    }

    // Every record the run left must point into the live tree.
    void CheckRecords(const std::set<const CPackItem*>& live) {
        for (const PackBin& pack : doc.packs) {
            for (const CPackItem* item : pack.items)
                ASSERT_TRUE(live.count(item)) << "a pack points at a released item";
        }
        for (const PackResult& result : doc.packResults) {
            uint32_t count = 0;
            for (const PackResultNode* node = result.head; node; node = node->next) {
                ASSERT_TRUE(live.count(node->item)) << "a result points at a released item";
                ASSERT_EQ(node->pack, &result);
                ++count;
            }
            EXPECT_EQ(count, result.count);
        }
    }

    void CheckCompleted(const std::vector<CPackItem*>& files) {
        std::map<const CPackItem*, int> placed;
        for (const PackBin& pack : doc.packs) {
            uint64_t used = 0;
            for (const CPackItem* item : pack.items) {
                ++placed[item];
                used += item->GetSize();
            }
            EXPECT_EQ(used, pack.used);
        }
        ASSERT_EQ(placed.size(), files.size());
        for (const CPackItem* file : files)
            ASSERT_EQ(placed[file], 1) << zel::Utf16ToUtf8(file->GetPath());
        ASSERT_EQ(doc.packResults.size(), doc.packs.size());
        for (size_t k = 0; k < doc.packs.size(); ++k) {
            size_t j = 0;
            for (const PackResultNode* node = doc.packResults[k].head; node; node = node->next)
                ASSERT_EQ(node->item, doc.packs[k].items.at(j++));
            EXPECT_EQ(j, doc.packs[k].items.size());
        }
    }
};

TEST_F(PackStorm, RunsCancelledAtRandomMomentsWhileTheTreeChanges) {
    for (int i = 0; i < 30; ++i)
        AddFolderOfFiles(40);

    // Scale the delays to how long a run takes in this build.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(doc.Pack(kLimit));
    const auto runTime = std::chrono::steady_clock::now() - start;
    std::uniform_int_distribution<int64_t> delayNs(
        0, std::chrono::duration_cast<std::chrono::nanoseconds>(runTime).count() * 3 / 2);

    const int iterations = StormIterations();
    int completed = 0;
    for (int i = 0; i < iterations; ++i) {
        SCOPED_TRACE("iteration " + std::to_string(i));
        ChangeTree();
        std::set<const CPackItem*> live;
        std::vector<CPackItem*> files;
        LiveFiles(doc.root, live, files);

        RecordingTarget target;
        doc.cancelFlag.store(0);
        CPackRunner runner(doc, kLimit, &target);
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::nanoseconds(delayNs(rng));
        ASSERT_TRUE(runner.Start());
        while (std::chrono::steady_clock::now() < until) {
        }
        runner.Cancel();
        runner.Join();

        CheckRecords(live);
        switch (runner.GetOutcome()) {
            case CPackRunner::Outcome::Completed:
                ++completed;
                EXPECT_EQ(target.EndNotices(), std::vector<PackNotice>{PackNotice::Completed});
                CheckCompleted(files);
                break;
            case CPackRunner::Outcome::Cancelled:
                EXPECT_EQ(target.EndNotices(), std::vector<PackNotice>{PackNotice::Cancelled});
                EXPECT_TRUE(doc.packs.empty());
                EXPECT_TRUE(doc.packResults.empty());
                break;
            default:
                FAIL() << "run ended " << static_cast<int>(runner.GetOutcome()) << ": "
                       << runner.Error();
        }
        if (HasFailure()) break;
    }
    if (iterations >= 100) {
        EXPECT_GT(completed, 0);
        EXPECT_LT(completed, iterations);
    }
}

}  // namespace
