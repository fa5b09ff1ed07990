#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "packing/PackFillRate.h"
#include "settings/PackInfo.h"
#include "settings/ParsePackSize.h"
#include "settings/WorkingPackSize.h"

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

TEST(WorkingPackSize, RegisteredNameOrSizeTextThenFillRate) {
    PackInfoList list = DefaultPackInfoList();
    list.push_back({u"broken", u"4.7G"});
    list.push_back({u"700M", u"650M"});      // a Name wins over the same text as a size
    list.push_back({u"DVD(4.7GB)", u"1M"});  // only the first entry of a Name counts
    struct Case {
        const char* size;
        const char* rate;
        PackSizeError error;
        uint64_t full;
        uint64_t working;
    } cases[] = {
        {"DVD(4.7GB)", "95%", PackSizeError::None, 4'700'000'000, 4'465'000'000},
        {"4700M", "100%", PackSizeError::None, 4'700'000'000, 4'700'000'000},
        {"700M", "50", PackSizeError::None, 650'000'000, 325'000'000},
        {"CD(700MB)", "", PackSizeError::None, 700'000'000, 0},
        {"dvd(4.7gb)", "95%", PackSizeError::InvalidSizeText, 0, 0},  // names are case-sensitive
        {"4.7G", "95%", PackSizeError::InvalidSizeText, 0, 0},
        {"", "95%", PackSizeError::InvalidSizeText, 0, 0},
        {"broken", "95%", PackSizeError::InvalidRegisteredSize, 0, 0},
    };
    for (const Case& c : cases) {
        WorkingPackSize out{7, 7};
        EXPECT_EQ(ResolveWorkingPackSize(list, U(c.size), U(c.rate), out), c.error) << c.size;
        if (c.error == PackSizeError::None) {
            EXPECT_EQ(out.fullSize, c.full) << c.size;
            EXPECT_EQ(out.workingSize, c.working) << c.size;
            EXPECT_TRUE(DescribePackSizeError(c.error).empty());
        } else {
            EXPECT_EQ(out.fullSize, 7u) << c.size;  // untouched
            EXPECT_EQ(DescribePackSizeError(c.error), u"パックサイズに正しい値を入力してください");
        }
    }
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
