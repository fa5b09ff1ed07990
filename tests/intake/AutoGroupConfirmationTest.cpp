// Applying the kept members in walk order is ApplyAutoGroups' own test
// (AutoGroupTest); here, which members the ticks keep.
#include <gtest/gtest.h>

#include "intake/AutoGroupConfirmation.h"

namespace {

TEST(AutoGroupConfirmationTest, KeepsTickedMembersOfTickedGroupsOnly) {
    CPackItem* const none = nullptr;
    CAutoGroupConfirmation answer(AutoGroupTable{{none, none, none}, {none, none}});
    EXPECT_TRUE(answer.Keeps(0, 2) && answer.Keeps(1, 1));  // all ticked at first
    answer.SetMemberTicked(0, 1, false);
    answer.SetGroupTicked(1, false);
    const bool expected[2][3] = {{true, false, true}, {false, false, false}};
    for (size_t g = 0; g < 2; ++g) {
        for (size_t m = 0; m < 3; ++m)
            EXPECT_EQ(answer.Keeps(g, m), expected[g][m]) << g << m;
    }
    answer.SetGroupTicked(1, true);  // the members' own ticks were left alone
    EXPECT_TRUE(answer.Keeps(1, 0) && answer.Keeps(1, 1));
    EXPECT_FALSE(answer.Keeps(2, 0));
}

}  // namespace
