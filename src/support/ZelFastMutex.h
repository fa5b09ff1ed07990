#pragma once

#include <mutex>

class ZelTrait {};

// Forbids copying and assignment of whatever derives from it.
class ZelIsNoncopyable : public ZelTrait {
protected:
    ZelIsNoncopyable() = default;
    ~ZelIsNoncopyable() = default;

public:
    ZelIsNoncopyable(const ZelIsNoncopyable&) = delete;
    ZelIsNoncopyable& operator=(const ZelIsNoncopyable&) = delete;
};

class IZelSync {
public:
    virtual ~IZelSync() = default;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
};

class ZelFastMutex : public IZelSync, private ZelIsNoncopyable {
public:
    void Lock() override { mutex_.lock(); }
    void Unlock() override { mutex_.unlock(); }

private:
    std::mutex mutex_;
};

// Holds the lock for its scope; a null lock is neither locked nor unlocked.
class ZelScopedLock : private ZelIsNoncopyable {
public:
    explicit ZelScopedLock(IZelSync* sync) : sync_(sync) {
        if (sync_) sync_->Lock();
    }
    ~ZelScopedLock() {
        if (sync_) sync_->Unlock();
    }

private:
    IZelSync* sync_;
};
