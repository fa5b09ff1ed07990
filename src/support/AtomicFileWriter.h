#pragma once

#include <string>
#include <string_view>

#include "support/FileSystem.h"

namespace zel {

// Writes a file so that a failure never destroys what was there before. A path
// that names a regular file, directly or through links, or nothing yet, gets a
// temporary file beside the final file that is synced and renamed over it on
// Commit; the links stay. Any other target (a FIFO, a device, anything reached
// through /proc or /dev) is opened and written in place and never replaced; a
// path that names one of this process's descriptors (/dev/stdout,
// /proc/self/fd/N) writes that descriptor, so that ">>" appends. A file this process could not open
// for writing is refused; a writable file in a folder that takes no new files is written in place.
// A replacement keeps the owner, group and permission bits of the file it replaces (the owner where
// the process may); a new file gets 0666 less the umask. Writes are buffered; the first failure is
// kept and reported by Commit.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(IFileSystem& fs = IFileSystem::Default());
    ~AtomicFileWriter();  // aborts when not committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool Open(const std::string& path);
    // Writes in place into a descriptor the caller owns (standard output); it is
    // flushed on Commit but never closed or replaced.
    bool OpenDescriptor(int fd);
    bool Write(std::string_view bytes);
    // Flushes, syncs, closes and renames; false when anything failed since Open.
    bool Commit();
    // Closes and removes the temporary file; the target stays as it was.
    void Abort();
    // Abort, and the message a user is shown for the failed write of path:
    // "ファイルに書き込めませんでした。", the path, and the system's error text.
    std::string AbortWithMessage(const std::string& path);

    int Error() const { return error_; }                    // errno of the first failure
    const std::string& ErrorStep() const { return step_; }  // what failed: "open", "write", ...
    bool WritesInPlace() const { return inPlace_; }

private:
    bool FindReplaceable(const std::string& path, std::string& target, FileStat& st, int& statError,
                         int& descriptor);
    bool OpenInPlace(const std::string& path);
    bool Fail(int error, const char* step);
    bool Flush();

    IFileSystem& fs_;
    std::string path_;
    std::string tempPath_;
    std::string buffer_;
    int fd_ = -1;
    int error_ = 0;
    std::string step_;
    bool inPlace_ = false;
    bool open_ = false;
    bool ownsFd_ = true;
};

// Convenience: the whole contents at once.
bool WriteFileAtomically(IFileSystem& fs, const std::string& path, std::string_view contents,
                         int& error);

}  // namespace zel
