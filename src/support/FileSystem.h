#pragma once
// Every file-system call of the core goes through this interface, so that tests
// can make a folder unreadable, a write fail or a file vanish. Paths are the raw
// bytes the kernel takes (see TextCodec.h for the mapping to UTF-16). Operations
// return 0 on success and an errno value on failure.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zel {

enum class FileKind : uint8_t { Regular, Directory, Symlink, Other };

struct FileStat {
    FileKind kind = FileKind::Other;
    uint64_t size = 0;  // apparent size (st_size)
    uint64_t device = 0;
    uint64_t inode = 0;
    uint32_t mode = 0;    // st_mode
    uint32_t owner = 0;   // st_uid
    uint32_t group = 0;   // st_gid
    int64_t mtimeNs = 0;  // modification time, nanoseconds since 1970 UTC
};

struct DirEntry {
    std::string name;     // raw bytes, never "." or ".."
    bool isLink = false;  // the entry itself is a symbolic link
    int statError = 0;    // errno of the stat that follows links, 0 when stat is valid
    FileStat stat;        // of the target when isLink
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    virtual int Stat(const std::string& path, FileStat& out) = 0;   // follows links
    virtual int Lstat(const std::string& path, FileStat& out) = 0;  // the link itself
    // The folder's entries in listing order, each with the stat of its target
    // (owner and group are not filled in).
    virtual int ListFolder(const std::string& path, std::vector<DirEntry>& out) = 0;
    // Whole regular file (EINVAL for anything else, EFBIG above maxSize bytes).
    virtual int ReadFile(const std::string& path, size_t maxSize, std::string& out) = 0;
    virtual int MakeFolder(const std::string& path, uint32_t mode) = 0;

    // exclusive: create a new file and fail when the name exists (O_EXCL);
    // otherwise open for writing in place, truncating it (O_TRUNC only affects
    // regular files; a missing file, e.g. behind a dangling link, is created).
    virtual int OpenForWrite(const std::string& path, bool exclusive, uint32_t mode, int& fd) = 0;
    virtual int WriteAll(int fd, const char* data, size_t size) = 0;
    virtual int Sync(int fd) = 0;
    virtual int Close(int fd) = 0;
    virtual int Rename(const std::string& from, const std::string& to) = 0;
    virtual int Remove(const std::string& path) = 0;
    // The calls below are not pure, so that fakes written before they existed
    // keep compiling; the defaults are the real calls.
    // Permission bits of an open file (fchmod).
    virtual int SetMode(int fd, uint32_t mode);
    // Owner and group of an open file (fchown).
    virtual int SetOwner(int fd, uint32_t owner, uint32_t group);
    // ListFolder that gives up with ECANCELED once stop is set, between
    // entries; the default lists the whole folder.
    virtual int ListFolderUntil(const std::string& path, std::vector<DirEntry>& out,
                                const std::atomic<bool>& stop);
    // The text of a symbolic link (readlink).
    virtual int ReadLink(const std::string& path, std::string& out);
    // 0 when this process could open the existing file for writing; the file is
    // opened without truncating and closed again, so nothing changes.
    virtual int CheckWritable(const std::string& path);
    // The working folder (getcwd); empty when there is none (it was deleted),
    // where relative paths mean nothing.
    virtual std::string WorkingFolder();
    // Waits for an exclusive advisory lock (flock) on the file, made when
    // missing; fd holds it until UnlockFile.
    virtual int LockFile(const std::string& path, int& fd);
    virtual void UnlockFile(int fd);

    // The real file system (POSIX calls).
    static IFileSystem& Default();
};

// Text of an errno value for messages (strerror, thread-safe).
std::string ErrorText(int error);

}  // namespace zel
