#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "packing/PackFillRate.h"
#include "settings/PackInfo.h"
#include "settings/ParsePackSize.h"

using testing_support::U;

namespace {

bool Parses(const char* text, uint64_t expected) {
    uint64_t bytes = 12345;
    return ParsePackSize(U(text), bytes) && bytes == expected;
}

bool Rejects(const char* text) {
    uint64_t bytes = 12345;
    return !ParsePackSize(U(text), bytes) && bytes == 12345;
}

}  // namespace

TEST(ParsePackSize, UnitsAndTrailingText) {
    EXPECT_TRUE(Parses("700M", 700'000'000));
    EXPECT_TRUE(Parses("25g", 25'000'000'000));
    EXPECT_TRUE(Parses("1000", 1000));
    EXPECT_TRUE(Parses("1k", 1000));
    EXPECT_TRUE(Parses("4700MB", 4'700'000'000));  // only the letter after the digits counts
    EXPECT_TRUE(Parses("18446744073709551615", UINT64_MAX));
    EXPECT_TRUE(Parses("18446744073G", 18'446'744'073'000'000'000ULL));
}

TEST(ParsePackSize, RejectsMalformedAndOverflowingTexts) {
    for (const char* bad : {"", "0", "0700M", "M", "-5M", "4700X", "4700 M", "4.7G", " 1",
                            "18446744073709551616", "99999999999999999999999", "18446744074G"}) {
        EXPECT_TRUE(Rejects(bad)) << bad;
    }
}

TEST(ApplyFillRate, LeadingDigitsDecide) {
    const uint64_t s = 4'700'000'000;
    EXPECT_EQ(ApplyFillRate(u"95%", s), 4'465'000'000u);
    EXPECT_EQ(ApplyFillRate(u"95", s), 4'465'000'000u);
    EXPECT_EQ(ApplyFillRate(u"100%", s), s);
    EXPECT_EQ(ApplyFillRate(u"250", s), s);
    EXPECT_EQ(ApplyFillRate(u"0100", s), s);
    EXPECT_EQ(ApplyFillRate(u"", s), 0u);
    EXPECT_EQ(ApplyFillRate(u"%95", s), 0u);
    EXPECT_EQ(ApplyFillRate(u"0", s), 0u);
    // No overflow for huge sizes or endless digits.
    EXPECT_EQ(ApplyFillRate(u"99", UINT64_MAX),
              static_cast<uint64_t>(static_cast<unsigned __int128>(UINT64_MAX) * 99 / 100));
    EXPECT_EQ(ApplyFillRate(std::u16string(400, u'9'), 7), 7u);
    EXPECT_EQ(ApplyFillRate(u"33", 10), 3u);  // truncating
}

TEST(PackInfo, DefaultsAndLookup) {
    const PackInfoList list = DefaultPackInfoList();
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[0].Name, u"Blu-ray(25GB)");
    EXPECT_EQ(list[3].Size, u"4700M");
    EXPECT_EQ(list[6].Name, u"CD(650MB)");
    ASSERT_NE(FindPackSizeText(list, u"DVD(4.7GB)"), nullptr);
    EXPECT_EQ(*FindPackSizeText(list, u"DVD(4.7GB)"), u"4700M");
    EXPECT_EQ(FindPackSizeText(list, u"dvd(4.7gb)"), nullptr);  // names are case-sensitive
}

TEST(PackFillRate, PerMilleFloorsAndOverflowGuards) {
    EXPECT_EQ(PackFillPerMille(4'700'000'000, 4'700'000'000), 1000u);
    EXPECT_EQ(PackFillPerMille(1, 4'700'000'000), 1u);
    EXPECT_EQ(PackFillPerMille(0, 4'700'000'000), 1u);
    EXPECT_EQ(PackFillPerMille(4'700'000'001, 4'700'000'000), kPackOver);
    EXPECT_EQ(PackFillPerMille(5, 0), kPackOver);
    EXPECT_EQ(PackFillPerMille(UINT64_MAX - 1, UINT64_MAX), 999u);
    EXPECT_EQ(FormatFillRate(1000), u"100.0%");
    EXPECT_EQ(FormatFillRate(953), u"95.3%");
    EXPECT_EQ(FormatFillRate(5), u" 0.5%");
    EXPECT_EQ(FormatFillRate(kPackOver), u"over");
}
