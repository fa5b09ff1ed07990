#include "support/SizeFormat.h"

namespace {

using uint128 = unsigned __int128;

// Every text here is ASCII: built narrow, where short texts need no heap,
// and widened for the callers that want UTF-16.
std::u16string Widen(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// The decimal digits of value, the last first; returns how many.
int ReversedDigits(uint64_t value, char (&digits)[20]) {
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return n;
}

void AppendDigits(uint64_t value, std::string& out) {
    char digits[20];
    for (int n = ReversedDigits(value, digits); n > 0; --n)
        out.push_back(digits[n - 1]);
}

void AppendGrouped(uint64_t value, std::string& out) {
    char digits[20];
    for (int n = ReversedDigits(value, digits); n > 0; --n) {
        out.push_back(digits[n - 1]);
        if (n > 1 && (n - 1) % 3 == 0) out.push_back(',');
    }
}

void AppendAuto(uint64_t bytes, std::string& out) {
    if (bytes < 1024) {
        AppendDigits(bytes, out);
        return;
    }
    static const char* const kUnits[] = {" KB", " MB", " GB", " TB", " PB", " EB"};
    // The largest unit in which the value stays below 1000.
    int unit = 0;
    while (unit < 5 && uint128(bytes) >= uint128(1000) << (10 * (unit + 1)))
        ++unit;
    const uint64_t hundredths = static_cast<uint64_t>((uint128(bytes) * 100) >> (10 * (unit + 1)));

    if (hundredths < 1000) {  // x.xx
        AppendDigits(hundredths / 100, out);
        out.push_back('.');
        out.push_back(static_cast<char>('0' + hundredths / 10 % 10));
        out.push_back(static_cast<char>('0' + hundredths % 10));
    } else if (hundredths < 10000) {  // xx.x
        AppendDigits(hundredths / 100, out);
        out.push_back('.');
        out.push_back(static_cast<char>('0' + hundredths / 10 % 10));
    } else {  // xxx
        AppendDigits(hundredths / 100, out);
    }
    out.append(kUnits[unit]);
}

void AppendKB(uint64_t bytes, std::string& out) {
    const uint64_t kb = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    AppendGrouped(kb, out);
    out.append(" KB");
}

void AppendMB(uint64_t bytes, std::string& out) {
    const uint64_t tenths = static_cast<uint64_t>((uint128(bytes) * 10) >> 20);
    AppendGrouped(tenths / 10, out);
    out.push_back('.');
    out.push_back(static_cast<char>('0' + tenths % 10));
    out.append(" MB");
}

}  // namespace

std::u16string Int64ToString(int64_t value) {
    std::string out;
    if (value < 0) {
        out.push_back('-');
        // Negate in unsigned arithmetic so that INT64_MIN does not overflow.
        AppendDigits(0 - static_cast<uint64_t>(value), out);
    } else {
        AppendDigits(static_cast<uint64_t>(value), out);
    }
    return Widen(out);
}

std::u16string UInt64ToString(uint64_t value) {
    std::string out;
    AppendDigits(value, out);
    return Widen(out);
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

std::string GroupedAscii(uint64_t value) {
    std::string out;
    AppendGrouped(value, out);
    return out;
}

std::string FormatSizeAscii(uint64_t bytes, int unit) {
    std::string out;
    switch (unit) {
        case Auto:
            AppendAuto(bytes, out);
            break;
        case Byte:
            AppendGrouped(bytes, out);
            break;
        case KB:
            AppendKB(bytes, out);
            break;
        case MB:
            AppendMB(bytes, out);
            break;
        default:
            break;
    }
    return out;
}

std::u16string FormatSize(uint64_t bytes, int unit) {
    return Widen(FormatSizeAscii(bytes, unit));
}

std::u16string FormatDisplaySize(uint64_t bytes, int storedUnit) {
    const bool known = storedUnit == Byte || storedUnit == KB || storedUnit == MB;
    return FormatSize(bytes, known ? storedUnit : Auto);
}
