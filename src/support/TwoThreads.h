#pragma once

#include <cstddef>
#include <functional>

namespace zel {

// Runs work(0) on this thread and, when second is true and a thread can be
// had, work(1) on another at the same time; without one, work(1) is not run
// and work(0) must take everything (both sides share their work through the
// captures). Returns when both have ended; what either threw is thrown here,
// this thread's first.
void RunOnTwoThreads(bool second, const std::function<void(size_t worker)>& work);

}  // namespace zel
