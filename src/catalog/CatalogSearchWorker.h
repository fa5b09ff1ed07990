#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "catalog/CatalogRows.h"
#include "support/ZelMfcThread.h"

namespace catalog {

// The catalog window's searches, on a thread of their own with their own
// connection to the catalog, so that a search through millions of files never
// holds up the window. Each keystroke's search supersedes the one before: that
// one is stopped where it is and its result is never delivered.
class CatalogSearchWorker : public ZelMfcThread {
public:
    struct Result {
        uint64_t ticket = 0;
        std::vector<CatalogResultRow> rows;
        bool more = false;  // there were more hits than the page holds
        std::string error;  // UTF-8; empty when the catalog could be read
    };
    // Called on the worker's thread, only with the newest search's result and
    // while no newer search can be asked for: it should only hand the result
    // over to the window's thread, where Current tells whether it still is.
    using Deliver = std::function<void(Result&&)>;

    CatalogSearchWorker(std::string catalogPath, Deliver deliver);
    // Stops a running search and waits for the thread.
    ~CatalogSearchWorker() override;

    // The owner's thread: starts a search for text (raw bytes) in place of any
    // other; returns its ticket. The thread starts with the first search.
    uint64_t Search(std::string text);
    // Any thread: whether ticket is still the newest search's.
    bool Current(uint64_t ticket) const { return ticket == latest_.load(); }
    // The catalog's sets or discs changed: the next search reads them again.
    void Refresh() { refresh_.store(true); }

protected:
    uint32_t Run() override;

private:
    const std::string path_;
    const Deliver deliver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string text_;      // the newest search's, under mutex_
    bool pending_ = false;  // under mutex_
    bool stop_ = false;     // under mutex_
    std::atomic<uint64_t> latest_{0};
    std::atomic<bool> cancel_{false};
    std::atomic<bool> refresh_{false};
};

}  // namespace catalog
