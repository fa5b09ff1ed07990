#include "support/StatRing.h"

#include <fcntl.h>
#include <liburing.h>

#include <algorithm>
#include <cerrno>

namespace zel {
namespace {

// Requests in flight per thread: enough to keep a disk's queue full on a
// cold scan, where each can wait on a read of its inode.
constexpr unsigned kDepth = 256;
// The tag of the request that cancels the others.
constexpr uint64_t kCancelAll = ~uint64_t{0};

// ThreadSanitizer cannot see the kernel map a ring's queues and unmap them
// (liburing calls it directly): a thread's new ring at the place of one that
// ended looks to it as if the two threads raced on the same memory.
#if defined(__SANITIZE_THREAD__)
constexpr bool kRingsSeen = false;
#else
constexpr bool kRingsSeen = true;
#endif

std::atomic<bool> g_allowed{kRingsSeen};

struct ThreadRing {
    std::unique_ptr<StatRing> ring;
    bool tried = false;
};

}  // namespace

void StatRing::SetAllowed(bool allowed) {
    g_allowed.store(allowed && kRingsSeen);
}

StatRing* StatRing::ForThisThread() {
    if (!g_allowed.load(std::memory_order_relaxed)) return nullptr;
    thread_local ThreadRing mine;
    if (!mine.tried) {
        mine.tried = true;
        std::unique_ptr<StatRing> made(new StatRing());
        if (made->Open()) mine.ring = std::move(made);
    }
    if (mine.ring && mine.ring->broken_) return nullptr;
    return mine.ring.get();
}

bool StatRing::Open() {
    ring_ = std::make_unique<io_uring>();
    if (io_uring_queue_init(kDepth, ring_.get(), 0) != 0) {
        ring_.reset();
        return false;
    }
    results_ = std::make_unique<struct statx[]>(kDepth);
    for (uint32_t i = kDepth; i > 0; --i)
        free_.push_back(i - 1);
    return true;
}

StatRing::~StatRing() {
    if (!ring_) return;
    // A ring that failed with requests in flight keeps its results' memory:
    // the kernel may still write there.
    if (free_.size() != kDepth) static_cast<void>(results_.release());
    io_uring_queue_exit(ring_.get());
}

unsigned StatRing::Reap(const Done& done, size_t& inFlight) {
    io_uring_cqe* cqe;
    unsigned head;
    unsigned seen = 0;
    io_uring_for_each_cqe(ring_.get(), head, cqe) {
        ++seen;
        const uint64_t data = io_uring_cqe_get_data64(cqe);
        if (data == kCancelAll) {
            cancelling_ = false;
            continue;
        }
        const auto slot = static_cast<uint32_t>(data >> 32);
        if (done) done(static_cast<uint32_t>(data), cqe->res < 0 ? -cqe->res : 0, results_[slot]);
        free_.push_back(slot);
        --inFlight;
    }
    io_uring_cq_advance(ring_.get(), seen);
    return seen;
}

int StatRing::StatAll(int dfd, const std::vector<Request>& requests, unsigned mask,
                      const std::atomic<bool>& stop, const Done& done) {
    if (broken_) return EIO;
    size_t next = 0;
    size_t inFlight = 0;
    int outcome = 0;
    bool cancelled = false;
    // Until the cancel itself has ended: it must not meet the next call's requests.
    while (next < requests.size() || inFlight > 0 || cancelling_) {
        if (!cancelled && inFlight > 0 && stop.load(std::memory_order_relaxed)) {
            // On a slow disk the requests held could take long: the kernel
            // drops those it has not started (they end with ECANCELED).
            // Where it cannot, they simply run to their end.
            if (io_uring_sqe* sqe = io_uring_get_sqe(ring_.get())) {
                io_uring_prep_cancel64(sqe, 0, IORING_ASYNC_CANCEL_ANY);
                io_uring_sqe_set_data64(sqe, kCancelAll);
                cancelling_ = true;
            }
            cancelled = true;
            outcome = ECANCELED;
        }
        while (outcome == 0 && next < requests.size() && !free_.empty()) {
            if (stop.load(std::memory_order_relaxed)) {
                outcome = ECANCELED;
                break;
            }
            io_uring_sqe* sqe = io_uring_get_sqe(ring_.get());
            if (!sqe) break;
            const uint32_t slot = free_.back();
            free_.pop_back();
            const Request& request = requests[next];
            io_uring_prep_statx(sqe, dfd, request.name, request.flags | AT_NO_AUTOMOUNT, mask,
                                &results_[slot]);
            io_uring_sqe_set_data64(sqe, uint64_t{slot} << 32 | next);
            ++next;
            ++inFlight;
        }
        if (inFlight == 0 && !cancelling_) break;
        const int rc = io_uring_submit_and_wait(ring_.get(), 1);
        // A signal ends the wait, not the requests.
        if (rc < 0 && rc != -EINTR) {
            // Out of room for a moment: what the kernel holds ends and
            // makes room. Anything else, or nothing held: the ring is no use.
            const size_t held = inFlight + (cancelling_ ? 1 : 0) - io_uring_sq_ready(ring_.get());
            if ((rc == -EAGAIN || rc == -EBUSY) && held > 0) {
                io_uring_cqe* cqe;
                if (io_uring_wait_cqe(ring_.get(), &cqe) == 0) {
                    Reap(done, inFlight);
                    continue;
                }
            }
            broken_ = true;
            // What the kernel holds still ends: wait for it, unreported.
            for (size_t waiting = held; waiting > 0;) {
                io_uring_cqe* cqe;
                const int error = io_uring_wait_cqe(ring_.get(), &cqe);
                if (error == -EINTR) continue;
                if (error != 0) break;  // the results' memory is kept (see the destructor)
                waiting -= std::min<size_t>(waiting, Reap(Done(), inFlight));
            }
            return rc == -EAGAIN || rc == -EBUSY ? EIO : -rc;
        }
        Reap(done, inFlight);
    }
    return outcome;
}

}  // namespace zel
