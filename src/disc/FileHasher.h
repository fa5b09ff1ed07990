#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Hashes many items at once on every core, an item per thread at a time: a
// pack of many files is hashed in a fraction of the time one core takes.

// Hashes item index into hex on the thread numbered worker (0 is the caller's),
// passing the bytes read so far on to advanced as it goes. Returns 0 or an
// errno; ECANCELED when stop was set.
using HashOneItem = std::function<int(size_t index, unsigned worker, std::string& hex,
                                      const std::atomic<bool>& stop,
                                      const std::function<void(uint64_t)>& advanced)>;

struct HashEachOptions {
    unsigned threads = 0;       // 0: one for each processor
    bool stopAtFailure = true;  // else every item is tried and keeps its own errno
    // Called on every thread after each chunk with the bytes hashed so far; it
    // may wait, to keep the hashing near another reader of the same files.
    std::function<void(uint64_t done)> pace;
};

// Items are taken in index order. errors gets each item's errno (0 when
// hashed; ECANCELED for one not reached after a cancel or a failure).
// progress gets the bytes hashed so far, on the calling thread only.
void HashEach(size_t count, const HashOneItem& hashOne, std::vector<std::string>& hexes,
              std::vector<int>& errors, const std::atomic<bool>& cancel,
              const std::function<void(uint64_t)>& progress, HashEachOptions options = {});

struct HashFailure {
    size_t index = 0;  // the file that could not be read
    int error = 0;     // its errno; ECANCELED when cancel was set
};

// hexes gets one SHA-256 per path. false with the first failure in list order.
[[nodiscard]] bool HashFiles(const std::vector<std::string>& paths, std::vector<std::string>& hexes,
                             const std::atomic<bool>& cancel,
                             const std::function<void(uint64_t)>& progress, HashFailure& failure,
                             HashEachOptions options = {});
