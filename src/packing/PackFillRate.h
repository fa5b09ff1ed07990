#pragma once

#include <cstdint>
#include <string>

// How full a pack is against the medium size, in per mille: at least 1, at most
// 1000; kPackOver when the pack holds more than the medium (or the medium size
// is 0, which no valid size text gives).
constexpr uint32_t kPackOver = 0;
uint32_t PackFillPerMille(uint64_t used, uint64_t packSize);

// "95.3%", " 0.5%" (whole part padded to two places), "100.0%", or "over".
std::u16string FormatFillRate(uint32_t perMille);
std::string FormatFillRateAscii(uint32_t perMille);
