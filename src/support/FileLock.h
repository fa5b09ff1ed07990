#pragma once

#include <cerrno>
#include <string>

#include "support/FileSystem.h"

namespace zel {

// An exclusive advisory lock on a lock file beside the file it guards, held for
// the object's lifetime, so that two processes never read, merge and write the
// same file at once. The lock file stays: removing it would let a third process
// lock a new file while another still holds the old one.
class FileLock {
public:
    FileLock(IFileSystem& fs, const std::string& guardedPath)
        : fs_(fs), error_(fs.LockFile(guardedPath + ".lock", fd_)) {
        // A folder that takes no new files can still hold a writable file that
        // is then written in place, never renamed over: lock that file itself.
        if (error_ == EACCES || error_ == EROFS || error_ == EPERM)
            error_ = fs.LockFile(guardedPath, fd_);
    }
    ~FileLock() {
        if (error_ == 0) fs_.UnlockFile(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // 0 when held, else the errno of the failed open or lock.
    int Error() const { return error_; }

private:
    IFileSystem& fs_;
    int fd_ = -1;
    int error_;
};

}  // namespace zel
