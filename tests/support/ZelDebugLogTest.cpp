#include "support/ZelDebugLog.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "TestSupport.h"

using namespace testing_support;

namespace {

// Two threads log at once: every line whole, with its header and own thread id.
TEST(ZelDebugLog, LinesAreWholeWithTheirHeaderAndNothingIsEvaluatedWhenOff) {
    TempDir dir;
    const int fd = ::open((dir / "log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ZelSetDebugLog(true, fd);
    ZEL_DEBUG_LOG("main {}", 7);
    auto worker = [](char c) {
        for (int i = 0; i < 1000; ++i)
            ZEL_DEBUG_LOG("{} {}", std::string(100, c), i);
    };
    std::thread a(worker, 'a');
    std::thread b(worker, 'b');
    a.join();
    b.join();
    ZelSetDebugLog(false, 2);
    int evaluated = 0;
    ZEL_DEBUG_LOG("{}", ++evaluated);
    EXPECT_EQ(evaluated, 0);
    ::close(fd);

    std::istringstream in(ReadFile(dir / "log"));
    const std::regex header(
        R"(\[\w{3} [0-3]\d [0-2]\d:[0-5]\d:[0-6]\d ([0-9A-F]{8})\] DEBUG : (.*))");
    std::smatch m;
    std::string line;
    ASSERT_TRUE(std::getline(in, line) && std::regex_match(line, m, header)) << line;
    EXPECT_EQ(m[2].str(), "main 7");
    EXPECT_EQ(std::stoul(m[1].str(), nullptr, 16),
              static_cast<unsigned long>(::syscall(SYS_gettid)));
    std::map<char, int> counts;
    while (std::getline(in, line)) {
        ASSERT_TRUE(std::regex_match(line, m, header)) << line;
        ASSERT_TRUE(std::regex_match(m[2].str(), std::regex("(a{100}|b{100}) \\d+"))) << line;
        ++counts[m[2].str()[0]];
    }
    EXPECT_EQ(counts, (std::map<char, int>{{'a', 1000}, {'b', 1000}}));
}

}  // namespace
