#pragma once
// One time-stamped line per call on standard error, serialised across threads.
// Switched on by CORVELIN_DEBUG=1 in the environment; call sites go through
// ZEL_DEBUG_LOG so that a disabled line costs one test and formats nothing.

#include <fmt/format.h>

#include <string_view>

bool ZelDebugLogEnabled();
// For tests: switch the log on or off and send it to a file descriptor.
void ZelSetDebugLog(bool enabled, int fd = 2);

// Writes one line: the header "[Mon DD HH:MM:SS TTTTTTTT] DEBUG : " then message.
void ZelDebugLogWrite(std::string_view message);

#define ZEL_DEBUG_LOG(...)                              \
    do {                                                \
        if (ZelDebugLogEnabled()) {                     \
            ZelDebugLogWrite(fmt::format(__VA_ARGS__)); \
        }                                               \
    } while (0)
