#pragma once

#include <cstdint>
#include <stdexcept>

// A group or candidate number held in 32 bits and read as the 64-bit number
// the rest of the program uses, whose all-ones value means "none". Numbers are
// handed out from 32-bit counters, so every real one fits; the field then
// costs an item four bytes instead of eight, which ten million items feel.
class CompactNumber {
public:
    constexpr CompactNumber(uint64_t value) : value_(Narrow(value)) {}  // NOLINT: reads as a number
    constexpr operator uint64_t() const {                               // NOLINT: reads as a number
        return value_ == kNone ? ~uint64_t{0} : value_;
    }

private:
    static constexpr uint32_t kNone = ~uint32_t{0};
    static constexpr uint32_t Narrow(uint64_t value) {
        if (value == ~uint64_t{0}) return kNone;
        if (value >= kNone) throw std::out_of_range("group number beyond 32 bits");
        return static_cast<uint32_t>(value);
    }

    uint32_t value_;
};
