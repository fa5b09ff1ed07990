#pragma once

#include "support/FileSystem.h"

namespace zel {

// The real file system: plain POSIX calls, every descriptor opened close-on-exec.
class PosixFileSystem : public IFileSystem {
public:
    int Stat(const std::string& path, FileStat& out) override;
    int Lstat(const std::string& path, FileStat& out) override;
    int ListFolder(const std::string& path, std::vector<DirEntry>& out) override;
    int ReadFile(const std::string& path, size_t maxSize, std::string& out) override;
    int MakeFolder(const std::string& path, uint32_t mode) override;
    int OpenForWrite(const std::string& path, bool exclusive, uint32_t mode, int& fd) override;
    int WriteAll(int fd, const char* data, size_t size) override;
    int Sync(int fd) override;
    int Close(int fd) override;
    int Rename(const std::string& from, const std::string& to) override;
    int Remove(const std::string& path) override;
    int SetMode(int fd, uint32_t mode) override;
};

}  // namespace zel
