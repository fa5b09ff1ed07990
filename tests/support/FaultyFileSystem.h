#pragma once
// The real file system with failures injected into single operations, for the
// error paths that cannot be provoked on a real disk (tests run as root).

#include <cerrno>
#include <string>
#include <vector>

#include "support/PosixFileSystem.h"

namespace testing_support {

class FaultyFileSystem : public zel::PosixFileSystem {
public:
    // errno values to return instead of doing the call; 0 means "do it".
    int lstatError = 0;
    int openError = 0;
    int writeError = 0;
    int syncError = 0;
    int closeError = 0;
    int renameError = 0;
    int readError = 0;
    // The next this many exclusive creations report EEXIST without trying.
    int exclusiveCollisions = 0;
    // Lets this many WriteAll calls through before writeError applies.
    int writesBeforeFailure = 0;

    std::vector<std::string> created;  // paths of successful exclusive creations
    std::vector<std::string> removed;
    int writeCalls = 0;

    int Lstat(const std::string& path, zel::FileStat& out) override {
        return lstatError ? lstatError : PosixFileSystem::Lstat(path, out);
    }
    int ReadFile(const std::string& path, size_t maxSize, std::string& out) override {
        return readError ? readError : PosixFileSystem::ReadFile(path, maxSize, out);
    }
    int OpenForWrite(const std::string& path, bool exclusive, uint32_t mode, int& fd) override {
        if (exclusive && exclusiveCollisions > 0) {
            --exclusiveCollisions;
            return EEXIST;
        }
        if (openError) return openError;
        const int error = PosixFileSystem::OpenForWrite(path, exclusive, mode, fd);
        if (error == 0 && exclusive) created.push_back(path);
        return error;
    }
    int WriteAll(int fd, const char* data, size_t size) override {
        ++writeCalls;
        if (writeError && writesBeforeFailure-- <= 0) return writeError;
        return PosixFileSystem::WriteAll(fd, data, size);
    }
    int Sync(int fd) override { return syncError ? syncError : PosixFileSystem::Sync(fd); }
    int Close(int fd) override {
        const int error = PosixFileSystem::Close(fd);  // never leak the descriptor
        return closeError ? closeError : error;
    }
    int Rename(const std::string& from, const std::string& to) override {
        return renameError ? renameError : PosixFileSystem::Rename(from, to);
    }
    int Remove(const std::string& path) override {
        removed.push_back(path);
        return PosixFileSystem::Remove(path);
    }
};

}  // namespace testing_support
