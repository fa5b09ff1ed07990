#include "support/ZelMfcThread.h"

#include <gtest/gtest.h>

#include <atomic>

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

    ZelScopedLock none(nullptr);  // a lock over no mutex does nothing
    ZelFastMutex mutex;
    { ZelScopedLock lock(&mutex); }
    ZelScopedLock again(&mutex);  // released by the first guard
}
