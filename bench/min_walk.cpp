// The floor for the scan benchmarks: the least a program must do to learn the
// size of every file below a folder. Folders are listed on a pool of threads
// (getdents64 into one buffer per thread), every entry is asked for with statx
// relative to its open folder, with the smallest mask that still tells files
// from folders and gives a size, device and inode. Nothing is kept but counts.
//
//   corvelin_min_walk DIR [THREADS]      (default: the number of processors)
//
// Prints the number of files and folders and the sum of the file sizes.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct LinuxDirent64 {
    uint64_t d_ino;
    int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

std::mutex g_mutex;
std::condition_variable g_wake;
std::vector<int> g_folders;  // open folder descriptors waiting to be listed
size_t g_busy = 0;           // threads listing a folder now
std::atomic<uint64_t> g_files{0}, g_dirs{0}, g_bytes{0};

void ListOne(int dfd, std::vector<char>& buffer, std::vector<int>& found) {
    uint64_t files = 0, bytes = 0;
    for (;;) {
        const long n = ::syscall(SYS_getdents64, dfd, buffer.data(), buffer.size());
        if (n <= 0) break;
        for (long at = 0; at < n;) {
            const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer.data() + at);
            at += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            struct statx sx;
            if (::statx(dfd, name, AT_NO_AUTOMOUNT, STATX_TYPE | STATX_SIZE | STATX_INO, &sx) != 0)
                continue;
            if (S_ISDIR(sx.stx_mode)) {
                const int sub = ::openat(dfd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                if (sub >= 0) found.push_back(sub);
            } else if (S_ISREG(sx.stx_mode)) {
                ++files;
                bytes += sx.stx_size;
            }
        }
    }
    ::close(dfd);
    g_files += files;
    g_bytes += bytes;
}

void Work() {
    std::vector<char> buffer(64 * 1024);
    std::vector<int> found;
    std::unique_lock<std::mutex> lock(g_mutex);
    for (;;) {
        g_wake.wait(lock, [] { return !g_folders.empty() || g_busy == 0; });
        if (g_folders.empty()) return;  // nothing queued and nobody can queue more
        const int dfd = g_folders.back();
        g_folders.pop_back();
        ++g_busy;
        lock.unlock();
        found.clear();
        ListOne(dfd, buffer, found);
        g_dirs += 1;
        lock.lock();
        --g_busy;
        g_folders.insert(g_folders.end(), found.begin(), found.end());
        g_wake.notify_all();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [THREADS]\n", argv[0]);
        return 2;
    }
    const unsigned threads =
        argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : std::thread::hardware_concurrency();
    // Every queued folder holds a descriptor.
    rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    const int root = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0) {
        std::perror(argv[1]);
        return 1;
    }
    g_folders.push_back(root);
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < (threads == 0 ? 1 : threads); ++i)
        pool.emplace_back(Work);
    for (std::thread& t : pool)
        t.join();
    std::printf("%llu files in %llu folders, %llu bytes\n",
                static_cast<unsigned long long>(g_files.load()),
                static_cast<unsigned long long>(g_dirs.load()),
                static_cast<unsigned long long>(g_bytes.load()));
    return 0;
}
