#pragma once
// Rounds of a job cancelled after a random delay of up to a little more than
// the job takes, so that cancels land all over it.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>

namespace testing_support {

template <class Job>
std::chrono::nanoseconds TimeOf(Job job) {
    const auto start = std::chrono::steady_clock::now();
    job();
    return std::chrono::steady_clock::now() - start;
}

inline void SpinFor(std::chrono::nanoseconds delay) {
    const auto until = std::chrono::steady_clock::now() + delay;
    while (std::chrono::steady_clock::now() < until) {
    }
}

// round(i, delay) runs the job, cancels it after delay, checks what it left and
// returns whether it completed.
template <class Round>
void CancelStorm(std::chrono::nanoseconds maxDelay, unsigned seed, Round round) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int64_t> delay(0, maxDelay.count());
    // CORVELIN_STORM_ITERATIONS raises the count for long runs.
    const char* text = std::getenv("CORVELIN_STORM_ITERATIONS");
    const int iterations = text && std::atoi(text) > 0 ? std::atoi(text) : 1000;
    int completed = 0;
    for (int i = 0; i < iterations && !::testing::Test::HasFailure(); ++i) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(i));
        completed += round(i, std::chrono::nanoseconds(delay(rng))) ? 1 : 0;
    }
    // Both outcomes must have been seen, or the storm tested only one of them.
    if (iterations >= 100) {
        EXPECT_GT(completed, 0);
        EXPECT_LT(completed, iterations);
    }
}

}  // namespace testing_support
