#include "packing/PackFillRate.h"

#include <fmt/format.h>

#include <algorithm>
#include <iterator>

uint32_t PackFillPerMille(uint64_t used, uint64_t packSize) {
    if (packSize == 0 || used > packSize) return kPackOver;
    const auto perMille =
        static_cast<uint64_t>(static_cast<unsigned __int128>(used) * 1000 / packSize);
    return static_cast<uint32_t>(std::max<uint64_t>(perMille, 1));
}

std::string FormatFillRateAscii(uint32_t perMille) {
    if (perMille == kPackOver) return "over";
    std::string out;
    if (perMille < 100) out.push_back(' ');
    fmt::format_to(std::back_inserter(out), "{}.{}%", perMille / 10, perMille % 10);
    return out;
}

std::u16string FormatFillRate(uint32_t perMille) {
    const std::string text = FormatFillRateAscii(perMille);
    return std::u16string(text.begin(), text.end());
}
