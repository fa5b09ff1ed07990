#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/SettingsStore.h"

// The six colour pairs of the options dialog, in the order of its list.
enum ColorPair : size_t {
    PairFile = 0,
    PairFolder,
    PairSelect,
    PairPack,
    PairGridOdd,
    PairGridEven,
    kColorPairCount
};

// The stored colour (0x00BBGGRR) of one half of a pair; pair must be below
// kColorPairCount.
uint32_t& PairColor(DisplaySettings& settings, size_t pair, bool background);
uint32_t PairColor(const DisplaySettings& settings, size_t pair, bool background);

constexpr int32_t kMinLineHeight = 0;
constexpr int32_t kMaxLineHeight = 10;
// A line-height entry: decimal digits only (blanks around them allowed) giving
// 0 to 10. False for anything else, the value then untouched.
bool ParseLineHeight(std::u16string_view text, int32_t& value);
