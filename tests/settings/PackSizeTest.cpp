#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "packing/PackFillRate.h"
#include "settings/PackInfo.h"
#include "settings/ParsePackSize.h"
#include "settings/WorkingPackSize.h"
#include "support/TextCodec.h"

using testing_support::U;

TEST(ParsePackSize, UnitLetterAfterTheDigitsOrRefusedUntouched) {
    const std::pair<const char*, uint64_t> accepted[] = {
        {"700M", 700'000'000},
        {"25g", 25'000'000'000},
        {"1k", 1000},
        {"4700MB", 4'700'000'000},  // only the letter after the digits counts
        {"18446744073709551615", UINT64_MAX},
        {"18446744073G", 18'446'744'073'000'000'000ULL}};
    for (const auto& [text, expected] : accepted) {
        uint64_t bytes = 0;
        EXPECT_TRUE(ParsePackSize(U(text), bytes)) << text;
        EXPECT_EQ(bytes, expected) << text;
    }
    for (const char* refused : {"", "0", "0700M", "M", "-5M", "4700X", "4700 M", " 1",
                                "18446744073709551616", "18446744074G"}) {
        uint64_t bytes = 12345;
        EXPECT_FALSE(ParsePackSize(U(refused), bytes)) << refused;
        EXPECT_EQ(bytes, 12345u) << refused;
    }
}

TEST(ApplyFillRate, LeadingDigitsDecideWithoutOverflow) {
    const uint64_t s = 4'700'000'000;
    const std::pair<std::u16string, uint64_t> cases[] = {{u"95%", 4'465'000'000},
                                                         {u"95", 4'465'000'000},
                                                         {u"250", s},
                                                         {u"0100", s},
                                                         {u"", 0},
                                                         {u"%95", 0},
                                                         {u"0", 0},
                                                         {std::u16string(400, u'9'), s}};
    for (const auto& [rate, expected] : cases)
        EXPECT_EQ(ApplyFillRate(rate, s), expected) << zel::Utf16ToUtf8(rate);
    EXPECT_EQ(ApplyFillRate(u"99", UINT64_MAX),
              static_cast<uint64_t>(static_cast<unsigned __int128>(UINT64_MAX) * 99 / 100));
    EXPECT_EQ(ApplyFillRate(u"33", 10), 3u);  // truncating
}

TEST(WorkingPackSize, RegisteredNameOrSizeTextThenFillRate) {
    PackInfoList list = DefaultPackInfoList();
    list.push_back({u"broken", u"4.7G"});
    list.push_back({u"700M", u"650M"});      // a Name wins over the same text as a size
    list.push_back({u"DVD(4.7GB)", u"1M"});  // only the first entry of a Name counts
    struct Case {
        const char *size, *rate;
        PackSizeError error;
        uint64_t full, working, capacity;
    } cases[] = {
        {"DVD(4.7GB)", "95%", PackSizeError::None, 4'700'000'000, 4'465'000'000, 4'700'372'992},
        {"4700M", "100%", PackSizeError::None, 4'700'000'000, 4'700'000'000, 4'700'000'000},
        {"700M", "50", PackSizeError::None, 650'000'000, 325'000'000, 650'000'000},
        {"CD(700MB)", "", PackSizeError::None, 700'000'000, 0, 737'280'000},
        {"dvd(4.7gb)", "95%", PackSizeError::InvalidSizeText, 7, 7, 7},  // names are case-sensitive
        {"4.7G", "95%", PackSizeError::InvalidSizeText, 7, 7, 7},
        {"broken", "95%", PackSizeError::InvalidRegisteredSize, 7, 7, 7},
    };
    for (const Case& c : cases) {
        WorkingPackSize out{7, 7, 7};
        EXPECT_EQ(ResolveWorkingPackSize(list, U(c.size), U(c.rate), out), c.error) << c.size;
        EXPECT_EQ(out.fullSize, c.full) << c.size;  // untouched on failure
        EXPECT_EQ(out.workingSize, c.working) << c.size;
        EXPECT_EQ(out.capacity, c.capacity) << c.size;
        EXPECT_EQ(DescribePackSizeError(c.error).empty(), c.error == PackSizeError::None);
    }
}

TEST(PackFillRate, PerMilleFloorsAndOverflowGuards) {
    EXPECT_EQ(PackFillPerMille(4'700'000'000, 4'700'000'000), 1000u);
    EXPECT_EQ(PackFillPerMille(0, 4'700'000'000), 1u);
    EXPECT_EQ(PackFillPerMille(4'700'000'001, 4'700'000'000), kPackOver);
    EXPECT_EQ(PackFillPerMille(5, 0), kPackOver);
    EXPECT_EQ(PackFillPerMille(UINT64_MAX - 1, UINT64_MAX), 999u);
    EXPECT_EQ(FormatFillRate(953), u"95.3%");
    EXPECT_EQ(FormatFillRate(5), u" 0.5%");
    EXPECT_EQ(FormatFillRate(kPackOver), u"over");
}
