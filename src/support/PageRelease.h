#pragma once

#include <cstddef>

namespace zel {

// Gives the whole pages inside [begin, end) back to the system while the
// memory stays allocated: a large table read once, front to back, need not
// sit in memory beside what is built from it. The pages read as zeros if
// touched again. Partial pages at either end stay, since an allocator's
// bookkeeping may share them.
void ReleasePages(void* begin, void* end);

}  // namespace zel
