#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A pack-size text: a decimal number without sign or leading zero, directly
// followed by at most one unit letter K, M or G (powers of 1000, either case);
// whatever follows the letter is not looked at ("4700MB" is 4,700,000,000).
// Digits or products beyond 2^64 - 1 make the text invalid.
bool ParsePackSize(std::u16string_view text, uint64_t& bytes);

// The working pack size for a fill-rate text: its leading decimal digits R; no
// digits give 0, R >= 100 gives the full size, otherwise R * full / 100
// truncated (computed without overflow).
uint64_t ApplyFillRate(std::u16string_view fillRateText, uint64_t fullSize);
