#include "disc/FolderCopier.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "support/FileSystem.h"

namespace {

// Large enough that the calls cost nothing, small enough that Cancel and the
// progress answer within a fraction of a second on a slow stick.
constexpr size_t kChunk = 8u << 20;
constexpr size_t kBuffer = 1u << 20;

int CopyData(int in, int out, uint64_t size, const std::atomic<bool>& cancel,
             const std::function<void(uint64_t)>& progress) {
    bool inKernel = true;
    std::unique_ptr<char[]> buffer;
    for (uint64_t left = size; left > 0;) {
        if (cancel.load()) return ECANCELED;
        const size_t want = static_cast<size_t>(std::min<uint64_t>(left, kChunk));
        ssize_t got;
        if (inKernel) {
            got = ::copy_file_range(in, nullptr, out, nullptr, want, 0);
            if (got < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                inKernel = false;
                continue;
            }
        } else {
            if (!buffer) buffer.reset(new char[kBuffer]);
            got = ::read(in, buffer.get(), std::min(want, kBuffer));
            if (got > 0) {
                const int error = zel::IFileSystem::Default().WriteAll(out, buffer.get(),
                                                                       static_cast<size_t>(got));
                if (error != 0) return error;
            }
        }
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        // The source shrank while it was copied: the writer finds it changed.
        if (got == 0) return 0;
        left -= static_cast<uint64_t>(got);
        if (progress) progress(static_cast<uint64_t>(got));
    }
    return 0;
}

int Rename(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without RENAME_NOREPLACE: the check leaves a window, but
    // only another program writing the same name at the same moment meets it.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

int CopyToTemporary(const std::string& source, const std::string& temp,
                    const std::atomic<bool>& cancel,
                    const std::function<void(uint64_t)>& progress) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    struct stat st;
    if (::fstat(in, &st) != 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
    // What a stopped run of this set left under this name.
    ::unlink(temp.c_str());
    const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    int error = CopyData(in, out, static_cast<uint64_t>(st.st_size), cancel, progress);
    ::close(in);
    if (error == 0) {
        // As "cp -p": what the target cannot hold (an owner on FAT, a mode a
        // mount option fixes) is left as it comes.
        (void)::fchown(out, st.st_uid, st.st_gid);
        (void)::fchmod(out, st.st_mode & 07777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        (void)::futimens(out, times);
    }
    if (::close(out) != 0 && error == 0) error = errno;
    if (error != 0) ::unlink(temp.c_str());
    return error;
}

int RenameWithoutReplacing(const std::string& temp, const std::string& target) {
    return Rename(temp, target);
}

int SyncFileSystem(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::syncfs(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}
