#include "support/SizeFormat.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr uint64_t kMax = ~uint64_t{0};

TEST(SizeFormat, EveryUnitAtItsEdges) {
    struct Case {
        uint64_t bytes;
        int unit;
        const char16_t* text;
    };
    const Case cases[] = {
        {1023, Auto, u"1023"},
        {1024, Auto, u"1.00 KB"},
        {10239, Auto, u"9.99 KB"},
        {23506, Auto, u"22.9 KB"},
        {1023999, Auto, u"999 KB"},
        {1024000, Auto, u"0.97 MB"},  // 1000 KB moves on
        {kMax, Auto, u"15.9 EB"},
        {kMax, Byte, u"18,446,744,073,709,551,615"},
        {0, KB, u"0 KB"},
        {1025, KB, u"2 KB"},
        {kMax, KB, u"18,014,398,509,481,984 KB"},
        {104857, MB, u"0.0 MB"},
        {104858, MB, u"0.1 MB"},
        {4700000000ULL, MB, u"4,482.2 MB"},
        // Past the point where bytes * 10 no longer fits in 64 bits.
        {kMax, MB, u"17,592,186,044,415.9 MB"},
        {1000, 4, u""},
        {1000, -1, u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatSize(c.bytes, c.unit), c.text) << c.bytes << " " << c.unit;
    EXPECT_EQ(FormatDisplaySize(2048, 1), u"2,048");
    EXPECT_EQ(FormatDisplaySize(2048, 7), u"2.00 KB");  // unknown choices show Auto
    EXPECT_EQ(UInt64ToString(kMax), u"18446744073709551615");
    EXPECT_EQ(Int64ToString(INT64_MIN), u"-9223372036854775808");
}

}  // namespace
