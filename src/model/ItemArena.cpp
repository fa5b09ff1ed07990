#include "model/ItemArena.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// AddressSanitizer sees overruns only between blocks of its own allocator.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUseSlabs = false;
#else
constexpr bool kUseSlabs = true;
#endif

// A power of two, so that a block finds its slab's header by masking its address.
constexpr size_t kSlabBytes = size_t{1} << 18;
constexpr size_t kAlign = CItemArena::kAlign;

struct alignas(kAlign) Slab {
    // Blocks not yet freed, and one more while a thread cuts from the slab.
    std::atomic<uint32_t> live{1};
};

void Release(Slab* slab) {
    if (slab->live.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    slab->~Slab();
    std::free(slab);
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
        void* memory = std::aligned_alloc(kSlabBytes, kSlabBytes);
        if (!memory) throw std::bad_alloc();
        if (c.slab) Release(c.slab);
        c.slab = new (memory) Slab;
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
