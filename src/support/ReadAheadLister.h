#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "support/FileSystem.h"

namespace zel {

// Lists folders on a second thread ahead of a depth-first walk, so that the
// walker's own work overlaps the kernel's. The walker announces the subfolders
// it will enter (Announce, in the order it will enter them) and then takes each
// listing (List) when it gets there: a listing ready in advance is handed over,
// one in progress is waited for, one not yet started is done on the spot. The
// result is always what IFileSystem::ListFolder gives for that folder, so the
// walk is the same with or without read-ahead. The file system must allow
// ListFolder from two threads at once (the POSIX one does).
//
// Given a rule for the subfolders the walk enters, every listing queues its
// own subfolders, without waiting for the walk to announce them: the whole tree
// is then listed on all readers at once while the walk takes the listings in
// its own order. A folder reached twice (by device and inode) is queued once,
// so links that loop end.
class ReadAheadLister {
public:
    // Whether the walk enters this entry of folder, a subfolder.
    using FollowRule = std::function<bool(const std::string& folder, const DirEntry& entry)>;

    // readers: threads that list ahead; maxReady bounds the listings held
    // ready at once (memory). follow: see above; empty, the readers list only
    // what is announced.
    explicit ReadAheadLister(IFileSystem& fs, size_t maxReady = 64, size_t readers = 1,
                             FollowRule follow = {});
    ~ReadAheadLister();
    ReadAheadLister(const ReadAheadLister&) = delete;
    ReadAheadLister& operator=(const ReadAheadLister&) = delete;

    // Folders the walk enters next, in walk order; they go ahead of anything
    // announced earlier, as a depth-first walk needs them first.
    void Announce(const std::vector<std::string>& folders);
    // The listing of one folder, as IFileSystem::ListFolder.
    int List(const std::string& folder, std::vector<DirEntry>& out);

private:
    enum class State { Queued, Listing, Ready };
    struct Slot {
        State state = State::Queued;
        int error = 0;
        std::vector<DirEntry> entries;
        std::exception_ptr failure;  // thrown again on the walker's thread
    };

    using FolderKey = std::pair<uint64_t, uint64_t>;  // (device, inode)
    struct Candidate {
        FolderKey key;
        std::string path;
    };

    void Work();
    std::vector<Candidate> Subfolders(const std::string& folder,
                                      const std::vector<DirEntry>& entries) const;
    void QueueSubfolders(std::vector<Candidate>& found);

    struct KeyHash {
        size_t operator()(const FolderKey& key) const {
            return std::hash<uint64_t>()(key.first * 0x9E3779B97F4A7C15ull ^ key.second);
        }
    };

    IFileSystem& fs_;
    const size_t maxReady_;
    const FollowRule follow_;
    std::unordered_set<FolderKey, KeyHash> queuedKeys_;
    std::mutex mutex_;
    std::condition_variable wake_;  // the reader: work or room appeared, or stop
    std::condition_variable done_;  // the walker: a listing became ready
    std::deque<std::string> queue_;
    std::unordered_map<std::string, Slot> slots_;
    size_t ready_ = 0;
    size_t readyEntries_ = 0;  // in the ready listings
    bool stop_ = false;
    std::atomic<bool> stopping_{false};  // stop_, read by listings without the lock
    std::vector<std::thread> readers_;
};

}  // namespace zel
