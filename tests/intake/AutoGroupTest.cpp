// Automatic grouping: the name score, candidates, the user's choice, real group
// numbers, the pruned pair search against scoring every pair, and cancelling.

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "NameSimilarityReference.h"
#include "ScanTestSupport.h"
#include "intake/AutoGroupConfirmation.h"
#include "intake/AutoGroupProposal.h"
#include "intake/AutoGroupWorker.h"
#include "intake/NameSimilarity.h"
#include "packing/CorvelinDoc.h"

using scan_test::RecordingTarget;

namespace {

// A folder of subfolders and files, in that order (as a sorted scan leaves them).
CPackFolderPtr Folder(const std::u16string& path, const std::vector<std::u16string>& files = {},
                      const std::vector<CPackFolderPtr>& subfolders = {}) {
    static uint32_t nextId = 1000;
    auto folder = CPackFolder::Create(nextId++, path, 0);
    for (const auto& sub : subfolders)
        folder->AppendChild(sub);
    for (const auto& name : files)
        folder->AppendChild(CPackItem::Create(nextId++, path + u"/" + name, 10));
    return folder;
}

// Each child's candidate number, '-' for none; or its group number.
std::string Ids(const CPackFolder& folder, bool groups = false) {
    std::string out;
    for (const auto& child : folder.children) {
        const uint64_t id = groups ? child->group : child->autoGroupId;
        out += id == (groups ? NoGroup : NoAutoGroup) ? '-' : static_cast<char>('0' + id);
    }
    return out;
}

// Only files of one folder are compared; real numbers follow the walk, so the
// subfolder's group comes first. An unticked candidate drops all its members,
// and ticking it again leaves the members' own ticks as they were.
TEST(AutoGroupTest, CandidatesTicksAndRealNumbers) {
    CCorvelinDoc doc;
    doc.groupCount = 2;
    auto sub = Folder(u"/in/sub", {u"scan001.png", u"scan002.png", u"scan003.png"});
    auto left = Folder(u"/in/left", {u"photo001.jpg"});
    auto drop = Folder(
        u"/in",
        {u"track01.mp3", u"track02.mp3", u"photo003.jpg", u"vacation_a.mov", u"vacation_b.mov"},
        {sub, left});
    const AutoGroupTablePtr table = ProposeAutoGroups(*drop);
    ASSERT_EQ(table->size(), 3u);
    EXPECT_EQ(Ids(*drop), "--00-11");
    EXPECT_EQ(Ids(*sub), "222");
    EXPECT_EQ(Ids(*left), "-");

    CAutoGroupConfirmation answer(*table);
    answer.SetMemberTicked(2, 0, false);
    answer.SetGroupTicked(2, false);
    answer.SetGroupTicked(2, true);
    answer.SetGroupTicked(1, false);
    ApplyAutoGroups(doc, *drop, *table, [&](size_t candidate, size_t member) {
        return answer.Keeps(candidate, member);
    });
    EXPECT_EQ(Ids(*sub, true), "-22");
    EXPECT_EQ(Ids(*drop, true), "--33---");
    EXPECT_EQ(drop->group, NoGroup);
    EXPECT_EQ(doc.groupCount, 4u);
}

// Candidate numbers as the plain rules give them, scoring every pair in full:
// a pair above the threshold joins the candidate of whichever is in one, and
// two candidates are never merged.
std::string ReferenceIds(const std::vector<std::u16string>& names) {
    std::string ids(names.size(), '-');
    char next = '0';
    for (size_t i = 0; i + 1 < names.size(); ++i) {
        for (size_t j = i + 1; j < names.size(); ++j) {
            if ((ids[i] != '-' && ids[j] != '-') ||
                !(name_similarity_reference::ReferenceSimilarity(names[i], names[j]) > 80))
                continue;
            if (ids[i] == '-' && ids[j] == '-') ids[i] = next++;
            if (ids[i] == '-') {
                ids[i] = ids[j];
            } else {
                ids[j] = ids[i];
            }
        }
    }
    return ids;
}

TEST(AutoGroupTest, SameCandidatesAsScoringEveryPairOnRandomFolders) {
    std::mt19937 rng(2024);
    const std::u16string alphabets[] = {u"ab", u"abcd_1", u"abcdefghijklmnopqrstuvwxyz0123"};
    const int maxLengths[] = {8, 24, 60};
    size_t formed = 0;
    for (int round = 0; round < 90; ++round) {
        const std::u16string& alphabet = alphabets[round % 3];
        std::uniform_int_distribution<int> length(0, maxLengths[(round / 3) % 3]);
        std::vector<std::u16string> names, files;
        std::u16string base;
        for (int f = 0; f < 120; ++f) {
            // Runs of variations of one base name, then a fresh base.
            if (f % 6 == 0) {
                base.clear();
                for (int n = length(rng); n > 0; --n)
                    base += alphabet[rng() % alphabet.size()];
            }
            std::u16string name = base;
            for (int edit = f % 6 == 0 ? 0 : 1 + f % 3; edit > 0 && !name.empty(); --edit)
                name[rng() % name.size()] = alphabet[rng() % alphabet.size()];
            if (f % 5 == 0) name += alphabet[rng() % alphabet.size()];
            names.push_back(name);
            files.push_back(name + u".ext");
        }
        const auto drop = Folder(u"/r", files);
        const std::string expected = ReferenceIds(names);
        const size_t count = ProposeAutoGroups(*drop)->size();
        ASSERT_EQ(Ids(*drop), expected) << "round " << round;
        std::set<char> distinct(expected.begin(), expected.end());
        distinct.erase('-');
        ASSERT_EQ(count, distinct.size());
        formed += count;
    }
    EXPECT_GT(formed, 300u);
    // The names above are lower-case; case counts.
    EXPECT_EQ(NameSimilarity(u"ABC", u"abc"), 0.0);
}

// The end notice tells a finished proposal from a cancelled one.
TEST(AutoGroupTest, CancelStopsTheProposalAndLeavesNoCandidate) {
    RecordingTarget<AutoGroupNotice> done;
    CAutoGroupWorker finishing(Folder(u"/in", {u"photo001.jpg", u"photo002.jpg"}), &done);
    ASSERT_TRUE(finishing.Start());
    finishing.Join();
    ASSERT_NE(finishing.GetTable(), nullptr);
    EXPECT_EQ(finishing.GetTable()->size(), 1u);
    EXPECT_EQ(done.messages, std::vector<AutoGroupNotice>{AutoGroupNotice::Finished});

    // Many short names over two letters: every name shares runs with thousands
    // of others, so the search takes seconds unless the cancel stops it there.
    std::mt19937 rng(5);
    std::vector<std::u16string> names(40000);
    for (auto& name : names) {
        for (int n = 0; n < 20; ++n)
            name += rng() % 2 ? u'a' : u'b';
    }
    const CPackFolderPtr crowd = Folder(u"/crowd", names);
    RecordingTarget<AutoGroupNotice> quiet;
    CAutoGroupWorker cancelled(crowd, &quiet);
    ASSERT_TRUE(cancelled.Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    cancelled.Cancel();
    cancelled.Join();
    EXPECT_EQ(cancelled.GetTable(), nullptr);
    EXPECT_EQ(quiet.messages, std::vector<AutoGroupNotice>{AutoGroupNotice::Cancelled});
    EXPECT_EQ(Ids(*crowd), std::string(names.size(), '-'));
}

}  // namespace
