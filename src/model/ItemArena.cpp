#include "model/ItemArena.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <new>

namespace {

// AddressSanitizer sees overruns only between blocks of its own allocator.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUseSlabs = false;
#else
constexpr bool kUseSlabs = true;
#endif

// A power of two, so that a block finds its slab's header by masking its
// address; a huge page, so that a walk over the items misses the TLB less.
constexpr size_t kSlabBytes = size_t{1} << 21;
constexpr size_t kAlign = CItemArena::kAlign;

struct alignas(kAlign) Slab {
    // Blocks not yet freed, and one more while a thread cuts from the slab.
    std::atomic<uint32_t> live{1};
};

// Straight from the system: the heap's aligned blocks leave a gap before each
// slab, which the heap then keeps.
Slab* MapSlab() {
    const size_t span = 2 * kSlabBytes;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto begin = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t start = (begin + kSlabBytes - 1) & ~(uintptr_t{kSlabBytes} - 1);
    if (start > begin) munmap(raw, start - begin);
    const uintptr_t end = begin + span;
    if (end > start + kSlabBytes) {
        munmap(reinterpret_cast<void*>(start + kSlabBytes), end - start - kSlabBytes);
    }
    void* memory = reinterpret_cast<void*>(start);
    madvise(memory, kSlabBytes, MADV_HUGEPAGE);
    return new (memory) Slab;
}

void Release(Slab* slab) {
    if (slab->live.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    slab->~Slab();
    munmap(slab, kSlabBytes);
}

// The slab this thread cuts from; given up when the thread ends.
struct Cutter {
    Slab* slab = nullptr;
    size_t used = 0;
    ~Cutter() {
        if (slab) Release(slab);
    }
};

thread_local Cutter cutter;

}  // namespace

void* CItemArena::Allocate(size_t bytes) {
    if (!kUseSlabs) return ::operator new(bytes);
    if (bytes > kMaxBlock) throw std::bad_alloc();
    bytes = (bytes + kAlign - 1) & ~(kAlign - 1);
    Cutter& c = cutter;
    if (!c.slab || c.used + bytes > kSlabBytes) {
        Slab* fresh = MapSlab();
        if (c.slab) Release(c.slab);
        c.slab = fresh;
        c.used = sizeof(Slab);
    }
    c.slab->live.fetch_add(1, std::memory_order_relaxed);
    void* block = reinterpret_cast<char*>(c.slab) + c.used;
    c.used += bytes;
    return block;
}

void CItemArena::Free(void* block) {
    if (!kUseSlabs) {
        ::operator delete(block);
        return;
    }
    const auto address = reinterpret_cast<uintptr_t>(block);
    Release(reinterpret_cast<Slab*>(address & ~(uintptr_t{kSlabBytes} - 1)));
}
