#include "support/ReadAheadLister.h"

namespace zel {
namespace {

// Entries held in listings ready ahead of the walk, about 90 bytes each: a
// tree of huge folders must not be listed into memory far ahead of the walk.
constexpr size_t kMaxReadyEntries = size_t{1} << 18;

}  // namespace

ReadAheadLister::ReadAheadLister(IFileSystem& fs, size_t maxReady, size_t readers,
                                 FollowRule follow)
    : fs_(fs), maxReady_(maxReady == 0 ? 1 : maxReady), follow_(std::move(follow)) {
    try {
        for (size_t i = 0; i < readers; ++i)
            readers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // With fewer threads (or none) the walker simply lists more itself.
    }
}

ReadAheadLister::~ReadAheadLister() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    stopping_.store(true);  // listings under way end early
    wake_.notify_all();
    for (std::thread& reader : readers_)
        reader.join();
}

void ReadAheadLister::Announce(const std::vector<std::string>& folders) {
    if (folders.empty() || readers_.empty()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
            // A folder announced twice (a link back into the walk) is listed once.
            if (slots_.emplace(*it, Slot()).second) queue_.push_front(*it);
        }
    }
    wake_.notify_all();
}

int ReadAheadLister::List(const std::string& folder, std::vector<DirEntry>& out) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        auto it = slots_.find(folder);
        if (it != slots_.end()) {
            // Elements of an unordered_map stay put when it rehashes; iterators do not.
            Slot& slot = it->second;
            if (slot.state == State::Listing) {
                done_.wait(lock, [&] { return slot.state == State::Ready; });
            }
            if (slot.state == State::Ready) {
                const int error = slot.error;
                const std::exception_ptr failure = slot.failure;
                out = std::move(slot.entries);
                slots_.erase(folder);
                --ready_;
                readyEntries_ -= out.size();
                lock.unlock();
                wake_.notify_one();  // room for another listing
                if (failure) std::rethrow_exception(failure);
                return error;
            }
            // Still queued: the reader skips names that have no slot any more.
            slots_.erase(it);
        }
    }
    out.clear();
    const int error = fs_.ListFolder(folder, out);
    if (follow_ && error == 0) {
        // The readers take the walk's subfolders from here on.
        std::vector<Candidate> subfolders = Subfolders(folder, out);
        std::lock_guard<std::mutex> lock(mutex_);
        QueueSubfolders(subfolders);
    }
    return error;
}

// The subfolders the walk will enter, in listing order, with their identity.
std::vector<ReadAheadLister::Candidate> ReadAheadLister::Subfolders(
    const std::string& folder, const std::vector<DirEntry>& entries) const {
    std::vector<Candidate> found;
    for (const DirEntry& entry : entries) {
        if (entry.statError != 0 || entry.stat.kind != FileKind::Directory) continue;
        if (!follow_(folder, entry)) continue;
        std::string path = folder;
        if (path.empty() || path.back() != '/') path += '/';
        path += entry.name;
        found.push_back({{entry.stat.device, entry.stat.inode}, std::move(path)});
    }
    return found;
}

// Under the lock. At the front of the queue, as Announce does: the walk needs
// these before anything queued earlier.
void ReadAheadLister::QueueSubfolders(std::vector<Candidate>& found) {
    bool queued = false;
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        if (!queuedKeys_.insert(it->key).second) continue;
        if (slots_.emplace(it->path, Slot()).second) {
            queue_.push_front(std::move(it->path));
            queued = true;
        }
    }
    if (queued) wake_.notify_all();
}

void ReadAheadLister::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] {
            return stop_ ||
                   (!queue_.empty() && ready_ < maxReady_ && readyEntries_ < kMaxReadyEntries);
        });
        if (stop_) return;
        std::string folder = std::move(queue_.front());
        queue_.pop_front();
        auto it = slots_.find(folder);
        if (it == slots_.end() || it->second.state != State::Queued) continue;
        // The slot is not erased while Listing (List waits for it instead).
        Slot& slot = it->second;
        slot.state = State::Listing;
        lock.unlock();
        std::vector<DirEntry> entries;
        std::vector<Candidate> subfolders;
        int error = 0;
        std::exception_ptr failure;
        try {
            error = fs_.ListFolderUntil(folder, entries, stopping_);
            if (follow_ && error == 0) subfolders = Subfolders(folder, entries);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        QueueSubfolders(subfolders);
        slot.entries = std::move(entries);
        slot.error = error;
        slot.failure = failure;
        slot.state = State::Ready;
        ++ready_;
        readyEntries_ += slot.entries.size();
        done_.notify_all();
    }
}

}  // namespace zel
