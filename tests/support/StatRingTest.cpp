#include "support/StatRing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "TestSupport.h"

using namespace testing_support;

namespace {

// More requests than the ring holds at once, some of names that are not
// there; then a run stopped halfway, and the ring used again after it.
TEST(StatRing, EveryRequestOnceWithItsOwnResultAndStopsClean) {
    zel::StatRing* ring = zel::StatRing::ForThisThread();
    if (!ring) GTEST_SKIP() << "this system offers no submission ring";
    TempDir dir;
    std::vector<std::string> names;
    for (int i = 0; i < 700; ++i) {
        names.push_back("f" + std::to_string(i));
        if (i % 7 != 3) MakeSparseFile(dir / names.back(), 1000 + static_cast<unsigned>(i));
    }
    std::vector<zel::StatRing::Request> requests;
    for (const std::string& name : names)
        requests.push_back({name.c_str(), 0});
    const int dfd = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(dfd, 0);

    std::atomic<bool> stop{false};
    std::vector<int> calls(names.size());
    size_t reported = 0;
    const auto check = [&](size_t i, int error, const struct statx& st) {
        ASSERT_LT(i, names.size());
        ++calls[i];
        ++reported;
        if (i % 7 == 3) {
            EXPECT_EQ(error, ENOENT) << names[i];
        } else {
            EXPECT_EQ(error, 0) << names[i];
            EXPECT_EQ(st.stx_size, 1000 + i) << names[i];
        }
    };
    EXPECT_EQ(ring->StatAll(dfd, requests, STATX_SIZE, stop, check), 0);
    EXPECT_EQ(reported, names.size());
    EXPECT_EQ(calls, std::vector<int>(names.size(), 1));

    // Stopped after 100 results: the ones asked for end, as stats or as
    // cancelled, and nothing twice.
    calls.assign(names.size(), 0);
    reported = 0;
    EXPECT_EQ(ring->StatAll(dfd, requests, STATX_SIZE, stop,
                            [&](size_t i, int error, const struct statx& st) {
                                if (error == ECANCELED && stop) {
                                    ++calls[i];
                                    ++reported;
                                } else {
                                    check(i, error, st);
                                }
                                if (reported == 100) stop = true;
                            }),
              ECANCELED);
    EXPECT_GE(reported, 100u);
    EXPECT_LT(reported, names.size());
    for (int n : calls)
        EXPECT_LE(n, 1);

    stop = false;
    calls.assign(names.size(), 0);
    reported = 0;
    EXPECT_EQ(ring->StatAll(dfd, requests, STATX_SIZE, stop, check), 0);
    EXPECT_EQ(calls, std::vector<int>(names.size(), 1));
    ::close(dfd);

    zel::StatRing::SetAllowed(false);
    EXPECT_EQ(zel::StatRing::ForThisThread(), nullptr);
    zel::StatRing::SetAllowed(true);
    EXPECT_EQ(zel::StatRing::ForThisThread(), ring);
}

}  // namespace
