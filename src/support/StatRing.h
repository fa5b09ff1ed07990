#pragma once

#include <sys/stat.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct io_uring;

namespace zel {

// Asks for the stats of many names of one open folder together, through the
// kernel's submission ring (io_uring): the kernel works through them on its
// own threads while this one waits for a batch, instead of one system call
// per name. Under virtualisation a system call costs several times its work,
// which made the calls most of a scan's time. Each thread keeps one ring;
// where the system offers none (an old kernel, a sandbox that forbids it),
// there is no ring and the caller asks name by name.
class StatRing {
public:
    struct Request {
        const char* name;  // relative to the folder; read before StatAll returns
        int flags;         // statx flags; AT_NO_AUTOMOUNT is always added
    };
    // error: 0 or the errno the stat of requests[index] ended with.
    using Done = std::function<void(size_t index, int error, const struct statx& st)>;

    // This thread's ring, made when first asked for; null when there is none
    // or rings are not allowed.
    static StatRing* ForThisThread();
    // Whether threads may use their rings (by default they may, but not
    // under ThreadSanitizer, which cannot follow a ring's memory): the tests
    // list folders both ways.
    static void SetAllowed(bool allowed);
    ~StatRing();
    StatRing(const StatRing&) = delete;
    StatRing& operator=(const StatRing&) = delete;

    // Stats every request with the mask, calling done for each as it ends
    // (in any order). Returns 0; ECANCELED when stop was set before all had
    // ended (done is called for those asked for, none other; those the
    // kernel had not started end with ECANCELED); or another
    // errno when the ring failed, after which the caller asks for each name
    // itself and this thread has no ring any more. Never returns while the
    // kernel may still write a result.
    int StatAll(int dfd, const std::vector<Request>& requests, unsigned mask,
                const std::atomic<bool>& stop, const Done& done);

private:
    StatRing() = default;
    bool Open();
    // Takes the results that have come; returns how many entries it read.
    unsigned Reap(const Done& done, size_t& inFlight);

    std::unique_ptr<io_uring> ring_;
    bool broken_ = false;
    bool cancelling_ = false;                  // a cancel of the requests held has not ended
    std::unique_ptr<struct statx[]> results_;  // one per request in flight
    std::vector<uint32_t> free_;               // results_ not in use
};

}  // namespace zel
