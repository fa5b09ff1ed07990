#pragma once

#include "support/FileSystem.h"

namespace zel {

// The real file system: plain POSIX calls, every descriptor opened close-on-exec.
// A descriptor that is not ready for writing (a full pipe, a non-blocking
// standard output) is waited on rather than failed.
class PosixFileSystem : public IFileSystem {
public:
    // interruptFd: when it becomes readable (a signal handler wrote to its
    // pipe), waits for a writer's reader or for room to write end with
    // ECANCELED, and so does a rename, the moment a replacement takes effect.
    explicit PosixFileSystem(int interruptFd = -1) : interruptFd_(interruptFd) {}

    int Stat(const std::string& path, FileStat& out) override;
    int Lstat(const std::string& path, FileStat& out) override;
    int ListFolder(const std::string& path, std::vector<DirEntry>& out) override;
    int ListFolderUntil(const std::string& path, std::vector<DirEntry>& out,
                        const std::atomic<bool>& stop) override;
    int ReadFile(const std::string& path, size_t maxSize, std::string& out) override;
    int MakeFolder(const std::string& path, uint32_t mode) override;
    int OpenForWrite(const std::string& path, bool exclusive, uint32_t mode, int& fd) override;
    int WriteAll(int fd, const char* data, size_t size) override;
    int Sync(int fd) override;
    int Close(int fd) override;
    int Rename(const std::string& from, const std::string& to) override;
    int Remove(const std::string& path) override;
    int SetMode(int fd, uint32_t mode) override;

private:
    static int List(const std::string& path, std::vector<DirEntry>& out,
                    const std::atomic<bool>& stop);
    bool Interrupted(int timeoutMs) const;
    int WaitWritable(int fd) const;

    int interruptFd_;
};

}  // namespace zel
