#include "settings/ParsePackSize.h"

bool ParsePackSize(std::u16string_view text, uint64_t& bytes) {
    if (text.empty() || text[0] < u'1' || text[0] > u'9') return false;
    uint64_t number = 0;
    size_t i = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const uint64_t digit = static_cast<uint64_t>(text[i] - u'0');
        if (number > (UINT64_MAX - digit) / 10) return false;
        number = number * 10 + digit;
    }
    uint64_t multiplier = 1;
    if (i < text.size()) {
        switch (text[i]) {
            case u'K':
            case u'k':
                multiplier = 1000;
                break;
            case u'M':
            case u'm':
                multiplier = uint64_t{1000} * 1000;
                break;
            case u'G':
            case u'g':
                multiplier = uint64_t{1000} * 1000 * 1000;
                break;
            default:
                return false;
        }
    }
    if (number > UINT64_MAX / multiplier) return false;
    bytes = number * multiplier;
    return true;
}

uint64_t ApplyFillRate(std::u16string_view fillRateText, uint64_t fullSize) {
    uint64_t rate = 0;
    size_t digits = 0;
    // Once the rate reaches 100 the result is the full size, so stop there and
    // the accumulation can never overflow.
    for (; digits < fillRateText.size() && fillRateText[digits] >= u'0' &&
           fillRateText[digits] <= u'9';
         ++digits) {
        if (rate < 100) rate = rate * 10 + static_cast<uint64_t>(fillRateText[digits] - u'0');
    }
    if (digits == 0) return 0;
    if (rate >= 100) return fullSize;
    return static_cast<uint64_t>(static_cast<unsigned __int128>(rate) * fullSize / 100);
}
