// Automatic grouping: candidates, the user's choice, real group numbers, the
// pruned pair search against scoring every pair, and cancelling.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "NameSimilarityReference.h"
#include "intake/AutoGroupProposal.h"
#include "intake/AutoGroupWorker.h"
#include "intake/NameSimilarity.h"
#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"

namespace {

uint32_t g_testIds = 1000;

// A folder whose children keep the order given (folders first, as a sorted scan
// result would have them).
CPackFolderPtr Folder(const std::u16string& path) {
    return boost::make_shared<CPackFolder>(g_testIds++, path, 0);
}

CPackItem* AddFile(CPackFolder& folder, const std::u16string& fileName) {
    folder.AppendChild(
        boost::make_shared<CPackItem>(g_testIds++, folder.GetPath() + u"/" + fileName, 10));
    return folder.children.back().get();
}

struct GroupingRun {
    uint64_t candidates = 0;
    AutoGroupTablePtr table;
};

GroupingRun FindCandidates(CPackFolder& drop) {
    GroupingRun run;
    run.table = ProposeAutoGroups(drop);
    run.candidates = run.table->size();
    return run;
}

void Apply(CCorvelinDoc& doc, CPackFolder& drop, const GroupingRun& run) {
    ApplyAutoGroups(doc, drop, *run.table, [](size_t, size_t) { return true; });
}

TEST(AutoGroupTest, SimilarPhotosBecomeOneGroupAndNotesStayAlone) {
    CCorvelinDoc doc;
    doc.groupCount = 4;
    auto drop = Folder(u"/in/trip");
    CPackItem* notes = AddFile(*drop, u"notes.txt");
    CPackItem* photo1 = AddFile(*drop, u"photo001.jpg");
    CPackItem* photo2 = AddFile(*drop, u"photo002.jpg");

    GroupingRun run = FindCandidates(*drop);
    ASSERT_EQ(run.candidates, 1u);
    EXPECT_EQ((*run.table)[0], (std::vector<CPackItem*>{photo1, photo2}));
    EXPECT_EQ(notes->autoGroupId, NoAutoGroup);

    Apply(doc, *drop, run);
    EXPECT_EQ(photo1->group, 4u);
    EXPECT_EQ(photo2->group, 4u);
    EXPECT_EQ(notes->group, NoGroup);
    EXPECT_EQ(drop->group, NoGroup);
    EXPECT_EQ(doc.groupCount, 5u);
}

TEST(AutoGroupTest, ThresholdIsStrictAndDissimilarDropsFormNothing) {
    auto drop = Folder(u"/in");
    AddFile(*drop, u"DSC_1234.jpg");  // 74 against the next
    AddFile(*drop, u"DSC_5678.jpg");
    AddFile(*drop, u".hidden");  // empty name: never joins
    AddFile(*drop, u".profile");
    EXPECT_EQ(FindCandidates(*drop).candidates, 0u);

    auto reports = Folder(u"/docs");
    AddFile(*reports, u"report.doc");
    AddFile(*reports, u"report2.doc");  // about 85.7
    EXPECT_EQ(FindCandidates(*reports).candidates, 1u);
}

TEST(AutoGroupTest, CandidatesGrowByChainingButNeverMerge) {
    // acbdcb ~ zcbdcb ~ zcbdxb, while the first and last are not similar.
    ASSERT_LE(NameSimilarity(u"acbdcb", u"zcbdxb"), kAutoGroupThreshold);
    auto chain = Folder(u"/chain");
    CPackItem* a = AddFile(*chain, u"acbdcb.x");
    CPackItem* b = AddFile(*chain, u"zcbdcb.x");
    CPackItem* c = AddFile(*chain, u"zcbdxb.x");
    EXPECT_EQ(FindCandidates(*chain).candidates, 1u);
    EXPECT_EQ(a->autoGroupId, 0u);
    EXPECT_EQ(b->autoGroupId, 0u);
    EXPECT_EQ(c->autoGroupId, 0u);

    // Pairs (0,2) and (1,3) form two candidates before the similar pair (2,3)
    // comes up; it links two numbered files and is skipped.
    ASSERT_GT(NameSimilarity(u"edaafyfd", u"ezaafyfd"), kAutoGroupThreshold);
    auto two = Folder(u"/two");
    CPackItem* first = AddFile(*two, u"edaafhfd");
    CPackItem* second = AddFile(*two, u"ezaafyzd");
    CPackItem* third = AddFile(*two, u"edaafyfd");
    CPackItem* fourth = AddFile(*two, u"ezaafyfd");
    EXPECT_EQ(FindCandidates(*two).candidates, 2u);
    EXPECT_EQ(first->autoGroupId, 0u);
    EXPECT_EQ(third->autoGroupId, 0u);
    EXPECT_EQ(second->autoGroupId, 1u);
    EXPECT_EQ(fourth->autoGroupId, 1u);
}

TEST(AutoGroupTest, OnlyFilesOfOneFolderAreCompared) {
    auto drop = Folder(u"/in");
    auto left = Folder(u"/in/left");
    auto right = Folder(u"/in/right");
    drop->AppendChild(left);
    drop->AppendChild(right);
    AddFile(*left, u"photo001.jpg");
    AddFile(*right, u"photo002.jpg");
    AddFile(*drop, u"photo003.jpg");
    EXPECT_EQ(FindCandidates(*drop).candidates, 0u);
    EXPECT_EQ(left->autoGroupId, NoAutoGroup);
}

TEST(AutoGroupTest, RealNumbersFollowWalkOrderSoTheSubfolderComesFirst) {
    CCorvelinDoc doc;
    doc.groupCount = 2;
    auto drop = Folder(u"/in");
    auto sub = Folder(u"/in/sub");
    drop->AppendChild(sub);
    CPackItem* s1 = AddFile(*sub, u"scan001.png");
    CPackItem* s2 = AddFile(*sub, u"scan002.png");
    CPackItem* f1 = AddFile(*drop, u"track01.mp3");
    CPackItem* f2 = AddFile(*drop, u"track02.mp3");

    GroupingRun run = FindCandidates(*drop);
    ASSERT_EQ(run.candidates, 2u);
    EXPECT_EQ(f1->autoGroupId, 0u);
    EXPECT_EQ(s1->autoGroupId, 1u);

    Apply(doc, *drop, run);
    EXPECT_EQ(s1->group, 2u);
    EXPECT_EQ(s2->group, 2u);
    EXPECT_EQ(f1->group, 3u);
    EXPECT_EQ(f2->group, 3u);
    EXPECT_EQ(sub->group, NoGroup);
    EXPECT_EQ(doc.groupCount, 4u);
}

TEST(AutoGroupTest, DroppedMembersAndDroppedCandidatesGetNoGroup) {
    CCorvelinDoc doc;
    auto drop = Folder(u"/in");
    CPackItem* i1 = AddFile(*drop, u"img_0001.jpg");
    CPackItem* i2 = AddFile(*drop, u"img_0002.jpg");
    CPackItem* i3 = AddFile(*drop, u"img_0003.jpg");
    CPackItem* v1 = AddFile(*drop, u"vacation_a.mov");
    CPackItem* v2 = AddFile(*drop, u"vacation_b.mov");
    GroupingRun run = FindCandidates(*drop);
    ASSERT_EQ(run.candidates, 2u);
    ASSERT_EQ((*run.table)[0].size(), 3u);

    // What the confirmation leaves: one member of the first candidate unticked,
    // the whole second candidate unticked.
    ApplyAutoGroups(doc, *drop, *run.table,
                    [](size_t candidate, size_t member) { return candidate == 0 && member != 1; });
    EXPECT_EQ(i1->group, 0u);
    EXPECT_EQ(i3->group, 0u);
    EXPECT_EQ(i2->group, NoGroup);
    EXPECT_EQ(v1->group, NoGroup);
    EXPECT_EQ(v2->group, NoGroup);
    EXPECT_EQ(doc.groupCount, 1u);
}

// Candidate numbers as the plain rules give them, scoring every pair in full.
std::vector<uint64_t> ReferenceCandidates(const std::vector<std::u16string>& names) {
    std::vector<uint64_t> ids(names.size(), NoAutoGroup);
    uint64_t next = 0;
    for (size_t i = 0; i + 1 < names.size(); ++i) {
        for (size_t j = i + 1; j < names.size(); ++j) {
            if (ids[i] != NoAutoGroup && ids[j] != NoAutoGroup) continue;
            if (!(name_similarity_reference::ReferenceSimilarity(names[i], names[j]) > 80)) {
                continue;
            }
            if (ids[i] != NoAutoGroup) {
                ids[j] = ids[i];
            } else if (ids[j] != NoAutoGroup) {
                ids[i] = ids[j];
            } else {
                ids[i] = ids[j] = next++;
            }
        }
    }
    return ids;
}

TEST(AutoGroupTest, SameCandidatesAsScoringEveryPairOnRandomFolders) {
    std::mt19937 rng(2024);
    const std::u16string alphabets[] = {u"ab", u"abcd_1", u"abcdefghijklmnopqrstuvwxyz0123"};
    const int maxLengths[] = {8, 24, 60};
    uint64_t formed = 0;
    for (int round = 0; round < 90; ++round) {
        const std::u16string& alphabet = alphabets[round % 3];
        std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
        std::uniform_int_distribution<int> length(0, maxLengths[(round / 3) % 3]);
        auto drop = Folder(u"/r");
        std::vector<std::u16string> names;
        std::u16string base;
        for (int f = 0; f < 120; ++f) {
            // Runs of variations of one base name, then a fresh base.
            if (f % 6 == 0) {
                base.clear();
                for (int n = length(rng); n > 0; --n)
                    base += alphabet[pick(rng)];
            }
            std::u16string name = base;
            for (int edit = f % 6 == 0 ? 0 : 1 + f % 3; edit > 0 && !name.empty(); --edit)
                name[rng() % name.size()] = alphabet[pick(rng)];
            if (f % 5 == 0) name += alphabet[pick(rng)];
            names.push_back(name);
            AddFile(*drop, name + u".ext");
        }
        const GroupingRun run = FindCandidates(*drop);
        const std::vector<uint64_t> expected = ReferenceCandidates(names);
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_EQ(drop->children[i]->autoGroupId, expected[i]) << "round " << round;
        }
        formed += run.candidates;
    }
    EXPECT_GT(formed, 300u);
}

class RecordingTarget : public IZelPostTarget {
public:
    void Post(const ZelNotice& notice) override { posted.push_back(notice.code); }
    std::vector<uint32_t> posted;  // read after Join only
};

// Many short names over two letters: every name shares runs with thousands of
// others, so the search takes seconds unless the cancel stops it.
CPackFolderPtr CrowdedFolder() {
    std::mt19937 rng(5);
    auto drop = Folder(u"/crowd");
    for (int f = 0; f < 40000; ++f) {
        std::u16string name;
        for (int n = 0; n < 20; ++n)
            name += rng() % 2 ? u'a' : u'b';
        AddFile(*drop, name);
    }
    return drop;
}

TEST(AutoGroupTest, CancelStopsTheProposalAndLeavesNoCandidate) {
    auto drop = Folder(u"/in");
    AddFile(*drop, u"photo001.jpg");
    AddFile(*drop, u"photo002.jpg");
    std::atomic<uint32_t> cancel{1};
    EXPECT_EQ(ProposeAutoGroups(*drop, &cancel), nullptr);
    EXPECT_EQ(drop->children[0]->autoGroupId, NoAutoGroup);

    // On the worker: the end notice tells a finished proposal from a cancelled one.
    RecordingTarget done;
    CAutoGroupWorker finishing(drop, &done);
    ASSERT_TRUE(finishing.Start());
    finishing.Join();
    ASSERT_NE(finishing.GetTable(), nullptr);
    EXPECT_EQ(finishing.GetTable()->size(), 1u);
    EXPECT_EQ(done.posted, std::vector<uint32_t>{uint32_t(AutoGroupNotice::Finished)});

    const CPackFolderPtr crowd = CrowdedFolder();
    RecordingTarget quiet;
    CAutoGroupWorker cancelled(crowd, &quiet);
    ASSERT_TRUE(cancelled.Start());
    // Usually lands inside the pair search, which must notice it there.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    cancelled.Cancel();
    cancelled.Join();
    EXPECT_EQ(cancelled.GetTable(), nullptr);
    EXPECT_EQ(quiet.posted, std::vector<uint32_t>{uint32_t(AutoGroupNotice::Cancelled)});
    for (const auto& child : crowd->children)
        ASSERT_EQ(child->autoGroupId, NoAutoGroup);
}

}  // namespace
