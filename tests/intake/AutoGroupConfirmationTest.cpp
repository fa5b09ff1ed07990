#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "intake/AutoGroupConfirmation.h"
#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"

namespace {

uint32_t g_ids = 5000;

CPackItem* AddFile(CPackFolder& folder, const std::u16string& name) {
    folder.AppendChild(boost::make_shared<CPackItem>(g_ids++, folder.GetPath() + u"/" + name, 1));
    return folder.children.back().get();
}

CPackFolder* AddFolder(CPackFolder& folder, const std::u16string& name) {
    folder.AppendChild(boost::make_shared<CPackFolder>(g_ids++, folder.GetPath() + u"/" + name, 0));
    return folder.children.back()->AsFolder();
}

TEST(AutoGroupConfirmationTest, KeepsOnlyTickedMembersOfTickedGroups) {
    auto root = boost::make_shared<CPackFolder>(g_ids++, u"/in", 0);
    std::vector<CPackItem*> f;
    for (const char16_t* n : {u"a1", u"a2", u"a3", u"b1", u"b2", u"c1", u"c2", u"d1", u"d2"}) {
        f.push_back(AddFile(*root, n));
    }
    CAutoGroupConfirmation answer({{f[0], f[1], f[2]}, {f[3], f[4]}, {f[5], f[6]}, {f[7], f[8]}});
    EXPECT_EQ(answer.Kept(), answer.Candidates());  // everything starts ticked

    answer.SetMemberTicked(0, 1, false);  // a2 out
    answer.SetGroupTicked(1, false);      // b out, although its members stay ticked
    answer.SetMemberTicked(2, 0, false);  // c left with one member
    answer.SetMemberTicked(3, 0, false);  // d left with none
    answer.SetMemberTicked(3, 1, false);
    EXPECT_TRUE(answer.MemberTicked(1, 0));
    EXPECT_EQ(answer.Kept(), (AutoGroupTable{{f[0], f[2]}, {f[6]}}));
}

TEST(AutoGroupConfirmationTest, NumbersFollowTheWalkNotTheCandidateOrder) {
    CCorvelinDoc doc;
    doc.groupCount = 3;
    auto root = boost::make_shared<CPackFolder>(g_ids++, u"/in", 0);
    CPackFolder* sub = AddFolder(*root, u"sub");
    CPackItem* s1 = AddFile(*sub, u"scan01");
    CPackItem* s2 = AddFile(*sub, u"scan02");
    CPackItem* r1 = AddFile(*root, u"report");
    CPackItem* r2 = AddFile(*root, u"report2");
    CPackItem* other = AddFile(*root, u"zzz");

    // The root's own pair was proposed first; the walk meets the subfolder first.
    EXPECT_EQ(ApplyAutoGroups(doc, *root, {{r1, r2}, {s1, s2}}), 2u);
    EXPECT_EQ(s1->group, 3u);
    EXPECT_EQ(s2->group, 3u);
    EXPECT_EQ(r1->group, 4u);
    EXPECT_EQ(r2->group, 4u);
    EXPECT_EQ(other->group, NoGroup);
    EXPECT_EQ(sub->group, NoGroup);
    EXPECT_EQ(doc.groupCount, 5u);

    EXPECT_EQ(ApplyAutoGroups(doc, *root, {}), 0u);  // cancelled or all dropped
    EXPECT_EQ(doc.groupCount, 5u);
}

}  // namespace
