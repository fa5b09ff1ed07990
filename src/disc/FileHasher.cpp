#include "disc/FileHasher.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>

#include "disc/Sha256.h"

namespace {

constexpr auto kReportEvery = std::chrono::milliseconds(100);

}  // namespace

bool HashFiles(const std::vector<std::string>& paths, std::vector<std::string>& hexes,
               const std::atomic<bool>& cancel, const std::function<void(uint64_t)>& progress,
               HashFailure& failure, unsigned threads) {
    hexes.assign(paths.size(), std::string());
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, std::max<size_t>(1, paths.size())));
    std::atomic<size_t> next{0};
    std::atomic<uint64_t> done{0};
    std::atomic<bool> stop{false};
    std::atomic<unsigned> active{threads - 1};
    std::mutex failureMutex;
    bool failed = false;
    auto report = [&] {
        if (cancel.load()) stop = true;
        if (progress) progress(done.load());
    };
    // onChunk runs on every chunk read; only this thread's reports.
    auto work = [&](const std::function<void()>& onChunk) {
        for (size_t i; !stop.load() && (i = next++) < paths.size();) {
            const int error = HashFile(paths[i], hexes[i], &stop, [&](uint64_t bytes) {
                done += bytes;
                if (onChunk) onChunk();
            });
            if (error == 0) continue;
            std::lock_guard<std::mutex> lock(failureMutex);
            // The first unreadable file in list order, not a stop it caused.
            if (error != ECANCELED && (!failed || i < failure.index)) {
                failure = HashFailure{i, error};
                failed = true;
            }
            stop = true;
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) {
        helpers.emplace_back([&] {
            work({});
            --active;
        });
    }
    auto last = std::chrono::steady_clock::now();
    work([&] {
        const auto now = std::chrono::steady_clock::now();
        if (now - last < kReportEvery) return;
        last = now;
        report();
    });
    // The helpers may still be on large files: keep reporting, and pass a
    // cancel on to them, until they have ended.
    while (active.load() > 0) {
        report();
        std::this_thread::sleep_for(kReportEvery / 5);
    }
    for (std::thread& helper : helpers)
        helper.join();
    report();
    if (failed) return false;
    if (cancel.load()) {
        failure = HashFailure{0, ECANCELED};
        return false;
    }
    return true;
}
