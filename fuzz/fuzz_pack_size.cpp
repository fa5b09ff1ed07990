// Pack-size and fill-rate texts against a 128-bit reference computation.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "settings/ParsePackSize.h"
#include "support/TextCodec.h"

namespace {

using u128 = unsigned __int128;
constexpr u128 kMax64 = UINT64_MAX;

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Digits are summed in 128 bits and stop counting once past 2^64 - 1, which
// keeps the sum far from the 128-bit limit.
bool ReferenceSize(std::u16string_view text, uint64_t& bytes) {
    if (text.empty() || text[0] == u'0' || !IsDigit(text[0])) return false;
    u128 number = 0;
    bool tooLarge = false;
    size_t i = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        number = number * 10 + (text[i] - u'0');
        if (number > kMax64) {
            tooLarge = true;
            number = kMax64 + 1;
        }
    }
    u128 unit = 1;
    if (i < text.size()) {
        const std::u16string_view letters = u"kKmMgG";
        const size_t letter = letters.find(text[i]);
        if (letter == std::u16string_view::npos) return false;
        for (size_t power = 0; power <= letter / 2; ++power)
            unit *= 1000;
    }
    if (tooLarge || number * unit > kMax64) return false;
    bytes = static_cast<uint64_t>(number * unit);
    return true;
}

uint64_t ReferenceFill(std::u16string_view text, uint64_t full) {
    size_t i = 0;
    u128 rate = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        rate = rate * 10 + (text[i] - u'0');
        if (rate > 1000) rate = 1000;
    }
    if (i == 0) return 0;
    if (rate >= 100) return full;
    return static_cast<uint64_t>(rate * full / 100);
}

void CheckPair(std::u16string_view sizeText, std::u16string_view rateText, uint64_t extraFull) {
    uint64_t expected = 0;
    const bool expectValid = ReferenceSize(sizeText, expected);
    uint64_t bytes = 12345;
    const bool valid = ParsePackSize(sizeText, bytes);
    if (valid != expectValid || (valid && bytes != expected)) {
        fuzz::PrintUnits("size text", sizeText);
        std::fprintf(stderr, "valid %d expected %d, %llu vs %llu\n", valid, expectValid,
                     static_cast<unsigned long long>(bytes),
                     static_cast<unsigned long long>(expected));
    }
    FUZZ_CHECK(valid == expectValid);
    if (valid) FUZZ_CHECK(bytes == expected);

    for (uint64_t full : {valid ? bytes : 0, extraFull, UINT64_MAX}) {
        const uint64_t working = ApplyFillRate(rateText, full);
        FUZZ_CHECK(working <= full);
        FUZZ_CHECK(working == ReferenceFill(rateText, full));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view sizeBytes, rateBytes;
    fuzz::SplitAtNul(data, size, sizeBytes, rateBytes);
    // A full size straight from the input's last bytes reaches every 64-bit value.
    uint64_t extraFull = 0;
    std::memcpy(&extraFull, data + size - std::min<size_t>(size, 8), std::min<size_t>(size, 8));

    CheckPair(zel::Utf8ToUtf16(sizeBytes), zel::Utf8ToUtf16(rateBytes), extraFull);
    CheckPair(fuzz::RawUnits(sizeBytes), fuzz::RawUnits(rateBytes), extraFull);
    return 0;
}
