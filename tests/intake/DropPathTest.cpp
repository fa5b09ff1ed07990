#include <gtest/gtest.h>

#include "intake/DropPath.h"

TEST(DropPath, CommandLinePathsBecomeDropPaths) {
    const struct {
        const char* arg;
        const char* expected;
    } cases[] = {
        {"a/b/", "/home/u/a/b"}, {"./x", "/home/u/x"},       {"/", "/"},
        {"//srv//d/", "/srv/d"}, {"../up", "/home/u/../up"}, {"", "/home/u"},
        {"/link/.", "/link"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AbsoluteDropPath(c.arg, "/home/u"), c.expected) << c.arg;
    }
}
