#include "packing/PackFillRate.h"

#include <fmt/format.h>

#include <algorithm>

#include "support/TextCodec.h"

uint32_t PackFillPerMille(uint64_t used, uint64_t packSize) {
    if (packSize == 0 || used > packSize) return kPackOver;
    const auto perMille =
        static_cast<uint64_t>(static_cast<unsigned __int128>(used) * 1000 / packSize);
    return static_cast<uint32_t>(std::max<uint64_t>(perMille, 1));
}

std::u16string FormatFillRate(uint32_t perMille) {
    if (perMille == kPackOver) return u"over";
    return zel::Utf8ToUtf16(fmt::format("{:2d}.{:d}%", perMille / 10, perMille % 10));
}
