#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Hashes many files at once on every core, a file per thread at a time: a
// pack of many files is hashed in a fraction of the time one core takes.
struct HashFailure {
    size_t index = 0;  // the file that could not be read
    int error = 0;     // its errno; ECANCELED when cancel was set
};

// hexes gets one SHA-256 per path. progress gets the bytes hashed so far, on
// the calling thread only. false with the first failure.
[[nodiscard]] bool HashFiles(const std::vector<std::string>& paths, std::vector<std::string>& hexes,
                             const std::atomic<bool>& cancel,
                             const std::function<void(uint64_t)>& progress, HashFailure& failure,
                             unsigned threads = 0);
