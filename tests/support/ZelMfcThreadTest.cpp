#include "support/ZelMfcThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/ZelFastMutex.h"

namespace {

class Worker : public ZelMfcThread {
public:
    ~Worker() override { Join(); }
    uint32_t input = 0;
    std::atomic<int> runs{0};

protected:
    uint32_t Run() override {
        ++runs;
        return input * 2;
    }
};

}  // namespace

TEST(ZelMfcThread, RunSeesFieldsSetBeforeStartAndStartsAgain) {
    Worker w;
    w.Join();  // nothing started: returns at once
    w.input = 21;
    ASSERT_TRUE(w.Start());
    w.Join();
    w.Join();  // joining twice is harmless
    EXPECT_EQ(w.GetExitCode(), 42u);
    EXPECT_FALSE(w.IsStarted());
    w.input = 5;
    ASSERT_TRUE(w.Start());
    ASSERT_TRUE(w.Start());  // joins the running one before starting again
    w.Join();
    EXPECT_EQ(w.GetExitCode(), 10u);
    EXPECT_EQ(w.runs.load(), 3);
}

// A worker that wants the lock waits while it is held, and gets it once the
// holder's scope ends. (A broken lock lets it through during the pause.)
TEST(ZelMfcThread, ScopedLockHoldsOffAnotherWorker) {
    struct Taker : ZelMfcThread {
        ~Taker() override { Join(); }
        ZelFastMutex* mutex = nullptr;
        std::atomic<bool> started{false}, got{false};
        uint32_t Run() override {
            started = true;
            ZelScopedLock lock(mutex);
            got = true;
            return 0;
        }
    };
    ZelFastMutex mutex;
    Taker taker;
    taker.mutex = &mutex;
    {
        ZelScopedLock held(&mutex);
        ASSERT_TRUE(taker.Start());
        while (!taker.started)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(taker.got);
    }
    taker.Join();
    EXPECT_TRUE(taker.got);
    ZelScopedLock none(nullptr);  // a null lock neither locks nor crashes
}
