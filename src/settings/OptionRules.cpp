#include "settings/OptionRules.h"

#include <algorithm>

namespace {

struct PairFields {
    uint32_t DisplaySettings::*text;
    uint32_t DisplaySettings::*back;
};

constexpr PairFields kPairs[kColorPairCount] = {
    {&DisplaySettings::colorFileText, &DisplaySettings::colorFileBack},
    {&DisplaySettings::colorFolderText, &DisplaySettings::colorFolderBack},
    {&DisplaySettings::colorSelectText, &DisplaySettings::colorSelectBack},
    {&DisplaySettings::colorPackText, &DisplaySettings::colorPackBack},
    {&DisplaySettings::colorGridOddText, &DisplaySettings::colorGridOddBack},
    {&DisplaySettings::colorGridEvenText, &DisplaySettings::colorGridEvenBack},
};

}  // namespace

uint32_t& PairColor(DisplaySettings& settings, size_t pair, bool background) {
    return settings.*(background ? kPairs[pair].back : kPairs[pair].text);
}

uint32_t PairColor(const DisplaySettings& settings, size_t pair, bool background) {
    return settings.*(background ? kPairs[pair].back : kPairs[pair].text);
}

bool ParseLineHeight(std::u16string_view text, int32_t& value) {
    while (!text.empty() && text.front() == u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);
    if (text.empty()) return false;
    int32_t number = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
        // Saturate: any long run of digits is out of range anyway.
        number = std::min(number * 10 + (c - u'0'), kMaxLineHeight + 1);
    }
    if (number < kMinLineHeight || number > kMaxLineHeight) return false;
    value = number;
    return true;
}
