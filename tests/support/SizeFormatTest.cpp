#include "support/SizeFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(SizeFormat, DecimalTexts) {
    EXPECT_EQ(Int64ToString(0), u"0");
    EXPECT_EQ(Int64ToString(-42), u"-42");
    EXPECT_EQ(Int64ToString(std::numeric_limits<int64_t>::min()), u"-9223372036854775808");
    EXPECT_EQ(Int64ToString(std::numeric_limits<int64_t>::max()), u"9223372036854775807");
    EXPECT_EQ(UInt64ToString(std::numeric_limits<uint64_t>::max()), u"18446744073709551615");
    EXPECT_EQ(UInt64ToString(9223372036854775808ULL), u"9223372036854775808");

    EXPECT_EQ(InsertThousandsSeparators(u""), u"");
    EXPECT_EQ(InsertThousandsSeparators(u"12"), u"12");
    EXPECT_EQ(InsertThousandsSeparators(u"123"), u"123");
    EXPECT_EQ(InsertThousandsSeparators(u"1234"), u"1,234");
    EXPECT_EQ(InsertThousandsSeparators(u"123456"), u"123,456");
    EXPECT_EQ(InsertThousandsSeparators(u"1234567"), u"1,234,567");
}

TEST(SizeFormat, Auto) {
    EXPECT_EQ(FormatSize(0, Auto), u"0");
    EXPECT_EQ(FormatSize(512, Auto), u"512");
    EXPECT_EQ(FormatSize(1023, Auto), u"1023");
    EXPECT_EQ(FormatSize(1024, Auto), u"1.00 KB");
    EXPECT_EQ(FormatSize(1536, Auto), u"1.50 KB");
    EXPECT_EQ(FormatSize(10239, Auto), u"9.99 KB");
    EXPECT_EQ(FormatSize(10240, Auto), u"10.0 KB");
    EXPECT_EQ(FormatSize(23506, Auto), u"22.9 KB");
    EXPECT_EQ(FormatSize(102400, Auto), u"100 KB");
    EXPECT_EQ(FormatSize(1023999, Auto), u"999 KB");
    EXPECT_EQ(FormatSize(1024000, Auto), u"0.97 MB");  // 1000 KB moves on
    EXPECT_EQ(FormatSize(2400016, Auto), u"2.28 MB");
    EXPECT_EQ(FormatSize(4700000000ULL, Auto), u"4.37 GB");
    EXPECT_EQ(FormatSize(1ULL << 40, Auto), u"1.00 TB");
    EXPECT_EQ(FormatSize(1ULL << 50, Auto), u"1.00 PB");
    EXPECT_EQ(FormatSize(1ULL << 60, Auto), u"1.00 EB");
    EXPECT_EQ(FormatSize(std::numeric_limits<uint64_t>::max(), Auto), u"15.9 EB");
}

TEST(SizeFormat, ByteKilobyteAndMegabyte) {
    EXPECT_EQ(FormatSize(999, Byte), u"999");
    EXPECT_EQ(FormatSize(1000, Byte), u"1,000");
    EXPECT_EQ(FormatSize(std::numeric_limits<uint64_t>::max(), Byte),
              u"18,446,744,073,709,551,615");

    EXPECT_EQ(FormatSize(0, KB), u"0 KB");
    EXPECT_EQ(FormatSize(1, KB), u"1 KB");
    EXPECT_EQ(FormatSize(1024, KB), u"1 KB");
    EXPECT_EQ(FormatSize(1025, KB), u"2 KB");
    EXPECT_EQ(FormatSize(1264743, KB), u"1,236 KB");
    EXPECT_EQ(FormatSize(std::numeric_limits<uint64_t>::max(), KB), u"18,014,398,509,481,984 KB");

    EXPECT_EQ(FormatSize(0, MB), u"0.0 MB");
    EXPECT_EQ(FormatSize(104857, MB), u"0.0 MB");
    EXPECT_EQ(FormatSize(104858, MB), u"0.1 MB");
    EXPECT_EQ(FormatSize(1048576, MB), u"1.0 MB");
    EXPECT_EQ(FormatSize(4700000000ULL, MB), u"4,482.2 MB");
    EXPECT_EQ(FormatSize(25000000000ULL, MB), u"23,841.8 MB");
    // Past the point where bytes * 10 no longer fits in 64 bits.
    EXPECT_EQ(FormatSize(1ULL << 62, MB), u"4,398,046,511,104.0 MB");
    EXPECT_EQ(FormatSize(std::numeric_limits<uint64_t>::max(), MB), u"17,592,186,044,415.9 MB");
}

TEST(SizeFormat, UnitSelection) {
    EXPECT_EQ(FormatSize(1000, 4), u"");
    EXPECT_EQ(FormatSize(1000, -1), u"");
    EXPECT_EQ(FormatDisplaySize(2048, 0), u"2.00 KB");
    EXPECT_EQ(FormatDisplaySize(2048, 1), u"2,048");
    EXPECT_EQ(FormatDisplaySize(2048, 2), u"2 KB");
    EXPECT_EQ(FormatDisplaySize(2048, 3), u"0.0 MB");
    EXPECT_EQ(FormatDisplaySize(2048, 7), u"2.00 KB");
    EXPECT_EQ(FormatDisplaySize(2048, -1), u"2.00 KB");
}
