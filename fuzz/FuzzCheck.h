#pragma once
// Shared by the fuzz targets: a failed check prints what broke and traps, so
// libFuzzer keeps the input as a crash.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            __builtin_trap();                                                             \
        }                                                                                 \
    } while (0)

namespace fuzz {

// The first NUL splits the input in two; without one the second part is empty.
inline void SplitAtNul(const uint8_t* data, size_t size, std::string_view& first,
                       std::string_view& second) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const size_t nul = all.find('\0');
    first = all.substr(0, nul);
    second = nul == std::string_view::npos ? std::string_view() : all.substr(nul + 1);
}

// The bytes as little-endian UTF-16 units; an odd last byte is dropped.
inline std::u16string RawUnits(std::string_view bytes) {
    std::u16string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                            (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    }
    return out;
}

// For the message of a failed check.
inline void PrintUnits(const char* label, std::u16string_view text) {
    std::fprintf(stderr, "%s (%zu units):", label, text.size());
    for (char16_t c : text)
        std::fprintf(stderr, " %04x", static_cast<unsigned>(c));
    std::fprintf(stderr, "\n");
}

}  // namespace fuzz
