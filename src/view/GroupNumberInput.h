#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The number typed into the "assign to an existing group" dialog: an unsigned
// decimal number (blanks around it allowed) from 1 to maximum. nullopt for
// anything else; the dialog then shows GroupNumberPrompt and stays open.
std::optional<uint32_t> ParseGroupNumber(std::u16string_view text, uint32_t maximum);

// "1 から N までの整数を入力してください。" with N = maximum; caption: the
// application's name, warning icon.
std::u16string GroupNumberPrompt(uint32_t maximum);
