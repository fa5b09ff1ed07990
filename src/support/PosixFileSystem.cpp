#include "support/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "support/StatRing.h"

namespace zel {
namespace {

FileKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return FileKind::Regular;
    if (S_ISDIR(mode)) return FileKind::Directory;
    if (S_ISLNK(mode)) return FileKind::Symlink;
    return FileKind::Other;
}

void Convert(const struct stat& st, FileStat& out) {
    out.kind = KindOf(st.st_mode);
    out.size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
    out.device = static_cast<uint64_t>(st.st_dev);
    out.inode = static_cast<uint64_t>(st.st_ino);
    out.mode = static_cast<uint32_t>(st.st_mode);
    out.owner = static_cast<uint32_t>(st.st_uid);
    out.group = static_cast<uint32_t>(st.st_gid);
    out.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// A listing's entries need the type, size, mode and identity of each, never
// times or owners: a smaller mask spares the file system work on some kinds.
// The modification time is for the archive catalog's check of scanned files.
constexpr unsigned kEntryMask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_INO | STATX_MTIME;
constexpr size_t kListBufferSize = size_t{64} * 1024;

// The layout getdents64 fills in.
struct LinuxDirent64 {
    uint64_t d_ino;
    int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

constexpr size_t kKeptPendingStats = size_t{1} << 16;

struct PendingStat {
    uint64_t inode;
    uint32_t position;  // in the listing
    unsigned char type;
};

// stat of an entry relative to its open folder; like fstatat, it never
// triggers an automount. 0 or the errno.
int StatAt(int dfd, const char* name, int flags, struct statx& out) {
    return ::statx(dfd, name, flags | AT_NO_AUTOMOUNT, kEntryMask, &out) == 0 ? 0 : errno;
}

void Convert(const struct statx& st, FileStat& out) {
    out.kind = KindOf(st.stx_mode);
    out.size = st.stx_size <= static_cast<uint64_t>(INT64_MAX) ? st.stx_size : 0;
    out.device = static_cast<uint64_t>(makedev(st.stx_dev_major, st.stx_dev_minor));
    out.inode = st.stx_ino;
    out.mode = st.stx_mode;
    out.mtimeNs = static_cast<int64_t>(st.stx_mtime.tv_sec) * 1000000000 + st.stx_mtime.tv_nsec;
}

// strerror_r comes in two flavours; these overloads accept either.
[[maybe_unused]] const char* StrerrorResult(int rc, const char* buf) {
    return rc == 0 ? buf : nullptr;
}
[[maybe_unused]] const char* StrerrorResult(const char* text, const char*) {
    return text;
}

}  // namespace

int IFileSystem::SetMode(int fd, uint32_t mode) {
    return ::fchmod(fd, static_cast<mode_t>(mode)) == 0 ? 0 : errno;
}

int IFileSystem::SetOwner(int fd, uint32_t owner, uint32_t group) {
    return ::fchown(fd, static_cast<uid_t>(owner), static_cast<gid_t>(group)) == 0 ? 0 : errno;
}

int IFileSystem::ReadLink(const std::string& path, std::string& out) {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0) return errno;
        if (static_cast<size_t>(n) < buffer.size()) {
            out.assign(buffer.data(), static_cast<size_t>(n));
            return 0;
        }
        buffer.resize(buffer.size() * 2);
    }
}

int IFileSystem::CheckWritable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

std::string IFileSystem::WorkingFolder() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

int IFileSystem::LockFile(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return errno;
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        ::close(fd);
        fd = -1;
        return error;
    }
    return 0;
}

void IFileSystem::UnlockFile(int fd) {
    if (fd >= 0) ::close(fd);  // closing the only descriptor releases the lock
}

IFileSystem& IFileSystem::Default() {
    static PosixFileSystem instance;
    return instance;
}

std::string ErrorText(int error) {
    char buf[256] = {};
    const char* text = StrerrorResult(strerror_r(error, buf, sizeof buf), buf);
    if (!text || !*text) return "error " + std::to_string(error);
    return text;
}

int PosixFileSystem::Stat(const std::string& path, FileStat& out) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return errno;
    Convert(st, out);
    return 0;
}

int PosixFileSystem::Lstat(const std::string& path, FileStat& out) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return errno;
    Convert(st, out);
    return 0;
}

int IFileSystem::ListFolderUntil(const std::string& path, std::vector<DirEntry>& out,
                                 const std::atomic<bool>&) {
    return ListFolder(path, out);
}

int PosixFileSystem::ListFolder(const std::string& path, std::vector<DirEntry>& out) {
    static const std::atomic<bool> never{false};
    return List(path, out, never);
}

int PosixFileSystem::ListFolderUntil(const std::string& path, std::vector<DirEntry>& out,
                                     const std::atomic<bool>& stop) {
    return List(path, out, stop);
}

// Both listing calls end here, never in each other, so that a subclass may
// override either one without the other calling back into it.
int PosixFileSystem::List(const std::string& path, std::vector<DirEntry>& out,
                          const std::atomic<bool>& stop) {
    out.clear();
    const int dfd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
    if (dfd < 0) return errno;
    // One buffer per thread: the listing threads of a scan each keep theirs.
    thread_local std::vector<char> buffer(kListBufferSize);
    // Each entry's inode number, listing position and type, to ask for the
    // entries in inode order: on a cold disk the inodes are then read in the
    // order they lie, which the file system's read-ahead of inode blocks follows.
    thread_local std::vector<PendingStat> pending;
    pending.clear();
    out.reserve(64);
    int result = 0;
    for (;;) {
        if (stop.load(std::memory_order_relaxed)) {
            result = ECANCELED;
            break;
        }
        const long n = ::syscall(SYS_getdents64, dfd, buffer.data(), buffer.size());
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            result = errno;
            break;
        }
        for (long at = 0; at < n;) {
            const auto* ent = reinterpret_cast<const LinuxDirent64*>(buffer.data() + at);
            at += ent->d_reclen;
            const char* name = ent->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            pending.push_back({ent->d_ino, static_cast<uint32_t>(out.size()), ent->d_type});
            out.emplace_back().name.assign(name);
        }
    }
    if (result == 0) {
        std::sort(pending.begin(), pending.end(), [](const PendingStat& a, const PendingStat& b) {
            return a.inode != b.inode ? a.inode < b.inode : a.position < b.position;
        });
    }
    // Entries of a known type go to the ring together; those of no type
    // need two steps, and so does everything when there is no ring.
    bool ringDone = false;
    StatRing* ring = result == 0 && !pending.empty() ? StatRing::ForThisThread() : nullptr;
    if (ring) {
        thread_local std::vector<StatRing::Request> requests;
        thread_local std::vector<uint32_t> positions;
        requests.clear();
        positions.clear();
        for (const PendingStat& p : pending) {
            if (p.type == DT_UNKNOWN) continue;
            out[p.position].isLink = p.type == DT_LNK;
            requests.push_back({out[p.position].name.c_str(), 0});
            positions.push_back(p.position);
        }
        const int error = ring->StatAll(dfd, requests, kEntryMask, stop,
                                        [&out](size_t i, int failed, const struct statx& sx) {
                                            DirEntry& entry = out[positions[i]];
                                            entry.statError = failed;
                                            if (failed == 0) Convert(sx, entry.stat);
                                        });
        if (error == ECANCELED) result = ECANCELED;
        ringDone = error == 0;
        if (requests.capacity() > kKeptPendingStats) {
            requests = std::vector<StatRing::Request>();
            positions = std::vector<uint32_t>();
        }
    }
    for (size_t i = 0; i < pending.size() && result == 0; ++i) {
        if (ringDone && pending[i].type != DT_UNKNOWN) continue;
        // On a cold disk every entry can wait on the device.
        if (stop.load(std::memory_order_relaxed)) {
            result = ECANCELED;
            break;
        }
        DirEntry& entry = out[pending[i].position];
        const char* name = entry.name.c_str();
        struct statx sx;
        if (pending[i].type == DT_LNK) {
            entry.isLink = true;
        } else if (pending[i].type == DT_UNKNOWN) {
            // Some file systems give no type: ask for the entry itself.
            if (StatAt(dfd, name, AT_SYMLINK_NOFOLLOW, sx) == 0) {
                entry.isLink = S_ISLNK(sx.stx_mode);
                if (!entry.isLink) {
                    Convert(sx, entry.stat);
                    continue;
                }
            }
        }
        // A ring that failed may have left an error here.
        entry.statError = StatAt(dfd, name, 0, sx);
        if (entry.statError == 0) Convert(sx, entry.stat);
    }
    ::close(dfd);
    // Kept for the next folder, unless a huge one made it large.
    if (pending.capacity() > kKeptPendingStats) pending = std::vector<PendingStat>();
    if (result != 0) out.clear();
    return result;
}

int PosixFileSystem::ReadFile(const std::string& path, size_t maxSize, std::string& out) {
    out.clear();
    // Non-blocking, so that a FIFO is refused rather than waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return EINVAL;
    }
    if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > maxSize) {
        ::close(fd);
        return EFBIG;
    }
    // The file may change while it is read: read to the end, never past maxSize.
    const size_t expected = static_cast<size_t>(st.st_size);
    out.resize(expected < maxSize ? expected + 1 : maxSize);
    size_t done = 0;
    int error = 0;
    for (;;) {
        if (done == out.size()) {
            if (out.size() >= maxSize) {
                char probe;
                const ssize_t n = ::read(fd, &probe, 1);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) {
                    error = errno;
                } else if (n > 0) {
                    error = EFBIG;
                }
                break;
            }
            out.resize(out.size() * 2 > maxSize ? maxSize : out.size() * 2);
        }
        const ssize_t n = ::read(fd, &out[done], out.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    if (error != 0) {
        out.clear();
        return error;
    }
    out.resize(done);
    return 0;
}

int PosixFileSystem::MakeFolder(const std::string& path, uint32_t mode) {
    return ::mkdir(path.c_str(), static_cast<mode_t>(mode)) == 0 ? 0 : errno;
}

bool PosixFileSystem::Interrupted(int timeoutMs) const {
    if (interruptFd_ < 0) return false;
    pollfd p{interruptFd_, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0;
}

// 0 once fd can take data, ECANCELED when interrupted first.
int PosixFileSystem::WaitWritable(int fd) const {
    pollfd p[2] = {{fd, POLLOUT, 0}, {interruptFd_, POLLIN, 0}};
    for (;;) {
        const int n = ::poll(p, interruptFd_ >= 0 ? 2 : 1, -1);
        if (n < 0 && errno != EINTR) return errno;
        if (n > 0 && (p[1].revents & POLLIN) != 0) return ECANCELED;
        if (n > 0 && p[0].revents != 0) return 0;  // writable, or an error the write will report
    }
}

int PosixFileSystem::OpenForWrite(const std::string& path, bool exclusive, uint32_t mode, int& fd) {
    fd = -1;
    // O_TRUNC has no effect on FIFOs and terminals, so in-place targets of any kind open.
    int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_CREAT | (exclusive ? O_EXCL : O_TRUNC);
    // A FIFO without a reader would block the open where no signal can end it:
    // try without blocking and wait for a reader in small steps instead.
    const bool waitForReader = interruptFd_ >= 0 && !exclusive;
    if (waitForReader) flags |= O_NONBLOCK;
    int result;
    for (;;) {
        result = ::open(path.c_str(), flags, static_cast<mode_t>(mode));
        if (result >= 0) break;
        if (errno == EINTR) continue;
        if (!(waitForReader && errno == ENXIO)) return errno;
        if (Interrupted(50)) return ECANCELED;
    }
    if (waitForReader) ::fcntl(result, F_SETFL, ::fcntl(result, F_GETFL) & ~O_NONBLOCK);
    fd = result;
    return 0;
}

int PosixFileSystem::WriteAll(int fd, const char* data, size_t size) {
    // With an interrupt to watch, a pipe or terminal takes small pieces after a
    // wait, so that no write blocks; a regular file never blocks for long.
    size_t piece = size;
    if (interruptFd_ >= 0) {
        struct stat st;
        if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) piece = PIPE_BUF;
    }
    bool wait = interruptFd_ >= 0;
    while (size > 0) {
        if (wait) {
            if (const int error = WaitWritable(fd)) return error;
        }
        const ssize_t n = ::write(fd, data, size < piece ? size : piece);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                wait = true;
                continue;
            }
            return errno;
        }
        if (n == 0) return EIO;
        data += n;
        size -= static_cast<size_t>(n);
        wait = interruptFd_ >= 0;
    }
    return 0;
}

int PosixFileSystem::Sync(int fd) {
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : errno;
}

int PosixFileSystem::Close(int fd) {
    // On Linux the descriptor is gone even when close reports EINTR.
    if (::close(fd) != 0 && errno != EINTR) return errno;
    return 0;
}

int PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    if (Interrupted(0)) return ECANCELED;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int PosixFileSystem::Remove(const std::string& path) {
    return ::remove(path.c_str()) == 0 ? 0 : errno;
}

int PosixFileSystem::SetMode(int fd, uint32_t mode) {
    return IFileSystem::SetMode(fd, mode);
}

}  // namespace zel
