#pragma once
// The real file system, except where a test scripts an answer: tests run as
// root, where permissions never stop a write, so most error paths need this.

#include <atomic>
#include <cerrno>
#include <functional>
#include <map>
#include <stdexcept>
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
    int writesBeforeError = 0;  // writeError starts after this many writes succeed
    int syncError = 0;
    int closeError = 0;
    int renameError = 0;
    int readError = 0;
    // The next this many exclusive creations report EEXIST without trying.
    int exclusiveCollisions = 0;

    // Scripted answers by path; worker threads read them, so fill them before a run.
    std::map<std::string, int> listErrors;                       // ListFolder fails
    std::map<std::string, std::vector<zel::DirEntry>> listings;  // ListFolder answers
    std::string throwOn;                                         // ListFolder throws here
    std::string afterListing;  // runs afterListingAction once, just after listing this folder
    std::function<void()> afterListingAction;

    std::vector<std::string> created;  // paths of successful exclusive creations
    int writeCalls = 0;
    std::atomic<int> listCalls{0};

    int Lstat(const std::string& path, zel::FileStat& out) override {
        return lstatError ? lstatError : PosixFileSystem::Lstat(path, out);
    }
    int ListFolder(const std::string& path, std::vector<zel::DirEntry>& out) override {
        ++listCalls;
        if (!throwOn.empty() && path == throwOn) throw std::runtime_error("listing exploded");
        int error = 0;
        if (const auto it = listErrors.find(path); it != listErrors.end()) {
            out.clear();
            error = it->second;
        } else if (const auto it = listings.find(path); it != listings.end()) {
            out = it->second;
        } else {
            error = PosixFileSystem::ListFolder(path, out);
        }
        // Only the thread listing that folder touches the action.
        if (path == afterListing && afterListingAction) {
            auto action = std::move(afterListingAction);
            afterListingAction = nullptr;
            action();
        }
        return error;
    }
    int ListFolderUntil(const std::string& path, std::vector<zel::DirEntry>& out,
                        const std::atomic<bool>&) override {
        return ListFolder(path, out);  // scripted or whole
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
        if (writeError && writeCalls++ >= writesBeforeError) return writeError;
        if (!writeError) ++writeCalls;
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
};

inline zel::FileStat FakeStat(zel::FileKind kind, uint64_t inode, uint64_t size = 0) {
    return {kind, size, 1, inode, kind == zel::FileKind::Directory ? 040755u : 0100644u, 0, 0};
}

inline zel::DirEntry FakeEntry(const std::string& name, zel::FileStat st) {
    return {name, false, 0, st};
}

}  // namespace testing_support
