#pragma once

#include <mutex>

// The lock of the debug log and of a worker's current path.
class ZelFastMutex {
public:
    ZelFastMutex() = default;
    ZelFastMutex(const ZelFastMutex&) = delete;
    ZelFastMutex& operator=(const ZelFastMutex&) = delete;

    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }

private:
    std::mutex mutex_;
};

// Holds the lock for its scope; a null lock is neither locked nor unlocked.
class ZelScopedLock {
public:
    explicit ZelScopedLock(ZelFastMutex* sync) : sync_(sync) {
        if (sync_) sync_->Lock();
    }
    ~ZelScopedLock() {
        if (sync_) sync_->Unlock();
    }
    ZelScopedLock(const ZelScopedLock&) = delete;
    ZelScopedLock& operator=(const ZelScopedLock&) = delete;

private:
    ZelFastMutex* sync_;
};
