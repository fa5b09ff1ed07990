#include "disc/FileHasher.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#include "disc/Sha256.h"

namespace {

constexpr auto kReportEvery = std::chrono::milliseconds(100);

}  // namespace

void HashEach(size_t count, const HashOneItem& hashOne, std::vector<std::string>& hexes,
              std::vector<int>& errors, const std::atomic<bool>& cancel,
              const std::function<void(uint64_t)>& progress, HashEachOptions options) {
    hexes.assign(count, std::string());
    errors.assign(count, ECANCELED);
    unsigned threads = options.threads;
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, std::max<size_t>(1, count)));
    std::atomic<size_t> next{0};
    std::atomic<uint64_t> done{0};
    std::atomic<bool> stop{false};
    std::atomic<unsigned> active{threads - 1};
    auto report = [&] {
        if (cancel.load()) stop = true;
        if (progress) progress(done.load());
    };
    // onChunk runs on every chunk read; only the caller's thread reports.
    auto work = [&](unsigned worker, const std::function<void()>& onChunk) {
        for (size_t i; !stop.load() && (i = next++) < count;) {
            // Each item is written by one thread only, and read after the join.
            errors[i] = hashOne(i, worker, hexes[i], stop, [&](uint64_t bytes) {
                const uint64_t total = done += bytes;
                if (onChunk) onChunk();
                if (options.pace) options.pace(total);
            });
            if (errors[i] != 0 && errors[i] != ECANCELED && options.stopAtFailure) stop = true;
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back([&, t] {
                work(t, {});
                --active;
            });
        } catch (const std::system_error&) {
            --active;  // the threads started do the work
        }
    }
    auto last = std::chrono::steady_clock::now();
    work(0, [&] {
        const auto now = std::chrono::steady_clock::now();
        if (now - last < kReportEvery) return;
        last = now;
        report();
    });
    // The helpers may still be on large items: keep reporting, and pass a
    // cancel on to them, until they have ended.
    while (active.load() > 0) {
        report();
        std::this_thread::sleep_for(kReportEvery / 5);
    }
    for (std::thread& helper : helpers)
        helper.join();
    report();
}

bool HashFiles(const std::vector<std::string>& paths, std::vector<std::string>& hexes,
               const std::atomic<bool>& cancel, const std::function<void(uint64_t)>& progress,
               HashFailure& failure, HashEachOptions options) {
    std::vector<int> errors;
    options.stopAtFailure = true;
    HashEach(
        paths.size(),
        [&paths](size_t index, unsigned, std::string& hex, const std::atomic<bool>& stop,
                 const std::function<void(uint64_t)>& advanced) {
            return HashFile(paths[index], hex, &stop, advanced);
        },
        hexes, errors, cancel, progress, options);
    // The first unreadable file in list order, not a stop it caused.
    for (size_t i = 0; i < errors.size(); ++i) {
        if (errors[i] != 0 && errors[i] != ECANCELED) {
            failure = HashFailure{i, errors[i]};
            return false;
        }
    }
    if (cancel.load() || std::find(errors.begin(), errors.end(), ECANCELED) != errors.end()) {
        failure = HashFailure{0, ECANCELED};
        return false;
    }
    return true;
}
