// Preloaded into a corvelin-cli run: on the main thread, every allocation of at
// least CORVELIN_TEST_ALLOC_LIMIT bytes fails as it would when memory runs out
// there; the worker threads allocate as usual.

#include <stdlib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

extern "C" void* __libc_malloc(size_t size);

extern "C" void* malloc(size_t size) noexcept {
    static const char* limitText = getenv("CORVELIN_TEST_ALLOC_LIMIT");
    static const size_t limit = limitText ? strtoull(limitText, nullptr, 10) : 0;
    if (limit != 0 && size >= limit && syscall(SYS_gettid) == getpid()) {
        errno = ENOMEM;
        return nullptr;
    }
    return __libc_malloc(size);
}
