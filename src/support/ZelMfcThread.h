#pragma once

#include <cstdint>
#include <thread>

// Base of the worker threads. The subclass puts its work in Run; Start runs it
// on a new thread once every field the owner set before Start is visible to it
// (std::thread's start synchronises with the constructor's caller). The owner
// must Join before destroying the worker: the destructor joins as a last resort
// so that a forgotten join never terminates the process.
class ZelMfcThread {
public:
    ZelMfcThread() = default;
    virtual ~ZelMfcThread();
    ZelMfcThread(const ZelMfcThread&) = delete;
    ZelMfcThread& operator=(const ZelMfcThread&) = delete;

    // Starts Run on a new thread, joining a thread of an earlier Start first.
    // Returns false (and starts nothing) when the thread cannot be created.
    bool Start();

    // Waits for the end of Run; returns at once when no thread was started.
    void Join();

    bool IsStarted() const { return thread_.joinable(); }
    uint32_t GetExitCode() const { return exitCode_; }

protected:
    virtual uint32_t Run() = 0;

private:
    std::thread thread_;
    uint32_t exitCode_ = 0;
};
