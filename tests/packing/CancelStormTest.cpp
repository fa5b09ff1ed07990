// Packing runs cancelled at random moments while the tree changes between runs:
// whatever a run leaves points only at live items, and a run that completes
// places every file exactly once.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "CancelStorm.h"
#include "PackTestSupport.h"
#include "model/ItemEraser.h"
#include "packing/PackRunner.h"

using namespace packing_test;

namespace {

void LiveFiles(CPackFolder& folder, std::vector<CPackItem*>& files) {
    for (const auto& child : folder.children) {
        if (CPackFolder* sub = child->AsFolder()) {
            LiveFiles(*sub, files);
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

    // Every file placed once and nothing else: a pack pointing at a released
    // item would add a key here. The results follow the packs.
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

    const auto runTime = testing_support::TimeOf([&] { ASSERT_TRUE(doc.Pack(kLimit)); });
    testing_support::CancelStorm(runTime * 3 / 2, 77002, [&](int, std::chrono::nanoseconds delay) {
        ChangeTree();
        std::vector<CPackItem*> files;
        LiveFiles(doc.root, files);

        RecordingTarget target;
        doc.cancelFlag.store(0);
        CPackRunner runner(doc, kLimit, &target);
        EXPECT_TRUE(runner.Start());
        testing_support::SpinFor(delay);
        runner.Cancel();
        runner.Join();

        switch (runner.GetOutcome()) {
            case CPackRunner::Outcome::Completed:
                EXPECT_EQ(target.EndNotices(), std::vector<PackNotice>{PackNotice::Completed});
                CheckCompleted(files);
                return true;
            case CPackRunner::Outcome::Cancelled:
                EXPECT_EQ(target.EndNotices(), std::vector<PackNotice>{PackNotice::Cancelled});
                EXPECT_TRUE(doc.packs.empty() && doc.packResults.empty());
                return false;
            default:
                ADD_FAILURE() << "run ended " << static_cast<int>(runner.GetOutcome()) << ": "
                              << runner.Error();
                return false;
        }
    });
}

}  // namespace
