#include "support/SizeFormat.h"

namespace {

using uint128 = unsigned __int128;

void AppendDigits(uint64_t value, std::u16string& out) {
    char16_t digits[20];
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0)
        out.push_back(digits[--n]);
}

std::u16string Grouped(uint64_t value) {
    return InsertThousandsSeparators(UInt64ToString(value));
}

std::u16string FormatAuto(uint64_t bytes) {
    if (bytes < 1024) return UInt64ToString(bytes);
    static const char16_t* const kUnits[] = {u" KB", u" MB", u" GB", u" TB", u" PB", u" EB"};
    // The largest unit in which the value stays below 1000.
    int unit = 0;
    while (unit < 5 && uint128(bytes) >= uint128(1000) << (10 * (unit + 1)))
        ++unit;
    const uint64_t hundredths = static_cast<uint64_t>((uint128(bytes) * 100) >> (10 * (unit + 1)));

    std::u16string out;
    if (hundredths < 1000) {  // x.xx
        AppendDigits(hundredths / 100, out);
        out.push_back(u'.');
        out.push_back(static_cast<char16_t>(u'0' + hundredths / 10 % 10));
        out.push_back(static_cast<char16_t>(u'0' + hundredths % 10));
    } else if (hundredths < 10000) {  // xx.x
        AppendDigits(hundredths / 100, out);
        out.push_back(u'.');
        out.push_back(static_cast<char16_t>(u'0' + hundredths / 10 % 10));
    } else {  // xxx
        AppendDigits(hundredths / 100, out);
    }
    out.append(kUnits[unit]);
    return out;
}

std::u16string FormatKB(uint64_t bytes) {
    const uint64_t kb = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    return Grouped(kb) + u" KB";
}

std::u16string FormatMB(uint64_t bytes) {
    const uint64_t tenths = static_cast<uint64_t>((uint128(bytes) * 10) >> 20);
    std::u16string out = Grouped(tenths / 10);
    out.push_back(u'.');
    out.push_back(static_cast<char16_t>(u'0' + tenths % 10));
    out.append(u" MB");
    return out;
}

}  // namespace

std::u16string Int64ToString(int64_t value) {
    std::u16string out;
    if (value < 0) {
        out.push_back(u'-');
        // Negate in unsigned arithmetic so that INT64_MIN does not overflow.
        AppendDigits(0 - static_cast<uint64_t>(value), out);
    } else {
        AppendDigits(static_cast<uint64_t>(value), out);
    }
    return out;
}

std::u16string UInt64ToString(uint64_t value) {
    std::u16string out;
    AppendDigits(value, out);
    return out;
}

std::u16string InsertThousandsSeparators(std::u16string_view text) {
    const size_t n = text.size();
    if (n < 3) return std::u16string(text);
    std::u16string out;
    out.reserve(n + n / 3);
    out.push_back(text[0]);
    for (size_t i = 1; i < n; ++i) {
        if ((n - i) % 3 == 0) out.push_back(u',');
        out.push_back(text[i]);
    }
    return out;
}

std::u16string FormatSize(uint64_t bytes, int unit) {
    switch (unit) {
        case Auto:
            return FormatAuto(bytes);
        case Byte:
            return Grouped(bytes);
        case KB:
            return FormatKB(bytes);
        case MB:
            return FormatMB(bytes);
        default:
            return std::u16string();
    }
}

std::u16string FormatDisplaySize(uint64_t bytes, int storedUnit) {
    const bool known = storedUnit == Byte || storedUnit == KB || storedUnit == MB;
    return FormatSize(bytes, known ? storedUnit : Auto);
}
