#include "view/GroupNumberInput.h"

#include "support/SizeFormat.h"
#include "support/UiText.h"

std::optional<uint32_t> ParseGroupNumber(std::u16string_view text, uint32_t maximum) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - u'0');
        // Past any 32-bit maximum: no need to read on (and no overflow).
        if (value > maximum) return std::nullopt;
    }
    if (value < 1) return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::u16string GroupNumberPrompt(uint32_t maximum) {
    return Tr16Format("1 から {maximum} までの整数を入力してください。",
                      fmt::arg("maximum", maximum));
}
