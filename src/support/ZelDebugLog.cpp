#include "support/ZelDebugLog.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "support/ZelFastMutex.h"

namespace {

std::atomic<int> g_state{-1};  // -1: not read from the environment yet
std::atomic<int> g_fd{2};

ZelFastMutex& LogLock() {
    static ZelFastMutex lock;
    return lock;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool ZelDebugLogEnabled() {
    int state = g_state.load(std::memory_order_relaxed);
    if (state < 0) {
        const char* env = std::getenv("CORVELIN_DEBUG");
        state = (env && std::strcmp(env, "1") == 0) ? 1 : 0;
        int expected = -1;
        g_state.compare_exchange_strong(expected, state);
        state = g_state.load();
    }
    return state == 1;
}

void ZelSetDebugLog(bool enabled, int fd) {
    g_fd.store(fd);
    g_state.store(enabled ? 1 : 0);
}

void ZelDebugLogWrite(std::string_view message) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const auto tid = static_cast<unsigned>(::syscall(SYS_gettid));

    std::string line =
        fmt::format("[{} {:02d} {:02d}:{:02d}:{:02d} {:08X}] {:<5} : ", kMonths[local.tm_mon % 12],
                    local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, tid, "DEBUG");
    line.append(message);
    line.push_back('\n');

    ZelScopedLock guard(&LogLock());
    WriteAll(g_fd.load(), line.data(), line.size());
}
