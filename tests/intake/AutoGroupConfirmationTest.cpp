#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "intake/AutoGroupConfirmation.h"
#include "intake/AutoGroupProposal.h"
#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"

namespace {

uint32_t g_ids = 5000;

CPackItem* Add(CPackFolder& folder, const std::u16string& name, bool isFolder = false) {
    const std::u16string path = folder.GetPath() + u"/" + name;
    if (isFolder) {
        folder.AppendChild(boost::make_shared<CPackFolder>(g_ids++, path, 0));
    } else {
        folder.AppendChild(boost::make_shared<CPackItem>(g_ids++, path, 1));
    }
    return folder.children.back().get();
}

TEST(AutoGroupConfirmationTest, OnlyTickedMembersOfTickedGroupsAreGroupedInWalkOrder) {
    CCorvelinDoc doc;
    doc.groupCount = 3;
    auto root = boost::make_shared<CPackFolder>(g_ids++, u"/in", 0);
    CPackFolder* sub = Add(*root, u"sub", true)->AsFolder();
    CPackItem* s1 = Add(*sub, u"scan01.jpg");
    CPackItem* s2 = Add(*sub, u"scan02.jpg");
    CPackItem* p1 = Add(*root, u"photo001.jpg");
    CPackItem* p2 = Add(*root, u"photo002.jpg");
    CPackItem* p3 = Add(*root, u"photo003.jpg");
    CPackItem* r1 = Add(*root, u"report.doc");
    CPackItem* r2 = Add(*root, u"report2.doc");

    const AutoGroupTablePtr table = ProposeAutoGroups(*root);
    // The folder's own candidates come first, its subfolder's last.
    ASSERT_EQ(*table, (AutoGroupTable{{p1, p2, p3}, {r1, r2}, {s1, s2}}));
    CAutoGroupConfirmation answer(*table);
    answer.SetMemberTicked(0, 1, false);  // photo002 out
    answer.SetGroupTicked(1, false);      // the reports out,
    EXPECT_FALSE(answer.Keeps(1, 0));     // whatever their ticks
    answer.SetGroupTicked(1, true);
    answer.SetMemberTicked(1, 0, false);  // report2 alone stays
    ApplyAutoGroups(doc, *root, *table, [&](size_t g, size_t m) { return answer.Keeps(g, m); });

    // Numbers follow the walk: the subfolder comes first among the children.
    const std::vector<uint64_t> groups = {s1->group, s2->group, p1->group, p2->group,
                                          p3->group, r1->group, r2->group};
    EXPECT_EQ(groups, (std::vector<uint64_t>{3, 3, 4, NoGroup, 4, NoGroup, 5}));
    EXPECT_EQ(doc.groupCount, 6u);
}

}  // namespace
