#include "support/PageRelease.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace zel {

void ReleasePages(void* begin, void* end) {
    static const auto kPage = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t first = (reinterpret_cast<uintptr_t>(begin) + kPage - 1) & ~(kPage - 1);
    const uintptr_t last = reinterpret_cast<uintptr_t>(end) & ~(kPage - 1);
    if (last <= first) return;
    // Advice only: should the system refuse, the pages simply stay.
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

}  // namespace zel
