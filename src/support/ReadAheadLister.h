#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
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
class ReadAheadLister {
public:
    // readers: threads that list ahead; maxReady bounds the listings held
    // ready at once (memory).
    explicit ReadAheadLister(IFileSystem& fs, size_t maxReady = 64, size_t readers = 1);
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

    void Work();

    IFileSystem& fs_;
    const size_t maxReady_;
    std::mutex mutex_;
    std::condition_variable wake_;  // the reader: work or room appeared, or stop
    std::condition_variable done_;  // the walker: a listing became ready
    std::deque<std::string> queue_;
    std::unordered_map<std::string, Slot> slots_;
    size_t ready_ = 0;
    bool stop_ = false;
    std::vector<std::thread> readers_;
};

}  // namespace zel
