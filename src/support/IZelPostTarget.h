#pragma once

#include <cstdint>

// Message numbers a worker posts to the window that waits for it.
constexpr uint32_t WM_APP = 0x8000;

// Where a worker posts its notices. Post must not block and may be called from
// any thread; the desktop program queues the call onto its UI thread, the
// command-line program prints progress.
class IZelPostTarget {
public:
    virtual ~IZelPostTarget() = default;
    virtual void Post(uint32_t message, uint64_t wParam, int64_t lParam) = 0;
};
