#pragma once

#include <cstdint>

// What a packing run tells its owner. The run ends with exactly one of
// Completed, Cancelled or Failed; Progress (value: per cent done, 0 to 99)
// comes only before it.
enum class PackNotice : uint32_t {
    Completed = 0x0200,
    Cancelled,
    Failed,  // the run threw; CPackRunner::Error has the reason
    Progress,
};
