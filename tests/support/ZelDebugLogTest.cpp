#include "support/ZelDebugLog.h"

#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "TestSupport.h"

using namespace testing_support;

namespace {

// Sends the log to a file for the test and switches it off afterwards.
class LogToFile {
public:
    explicit LogToFile(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ZelSetDebugLog(true, fd_);
    }
    ~LogToFile() {
        ZelSetDebugLog(false, 2);
        ::close(fd_);
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(ReadFile(path_));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

private:
    std::string path_;
    int fd_;
};

}  // namespace

TEST(ZelDebugLog, LineFormat) {
    TempDir dir;
    LogToFile log(dir / "log");
    ZEL_DEBUG_LOG("packing : finish!");
    ZEL_DEBUG_LOG(" GROUP({}) IN PACK[{}]", 3, 7);
    ZEL_DEBUG_LOG("");
    const std::string longMessage(500, 'x');
    ZEL_DEBUG_LOG("{}", longMessage);

    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 4u);
    const std::regex header(
        R"(\[(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [0-3]\d [0-2]\d:[0-5]\d:[0-6]\d ([0-9A-F]{8})\] DEBUG : (.*))");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[0], m, header)) << lines[0];
    EXPECT_EQ(m[3].str(), "packing : finish!");
    EXPECT_EQ(std::stoul(m[2].str(), nullptr, 16),
              static_cast<unsigned long>(::syscall(SYS_gettid)));
    ASSERT_TRUE(std::regex_match(lines[1], m, header)) << lines[1];
    EXPECT_EQ(m[3].str(), " GROUP(3) IN PACK[7]");
    ASSERT_TRUE(std::regex_match(lines[2], m, header)) << lines[2];
    EXPECT_EQ(m[3].str(), "");
    EXPECT_EQ(lines[2].size(), 35u);  // the header alone
    ASSERT_TRUE(std::regex_match(lines[3], m, header));
    EXPECT_EQ(m[3].str(), longMessage);
}

TEST(ZelDebugLog, DisabledLinesEvaluateNothing) {
    TempDir dir;
    LogToFile log(dir / "log");
    ZelSetDebugLog(false, 2);
    int evaluated = 0;
    ZEL_DEBUG_LOG("{}", ++evaluated);
    EXPECT_EQ(evaluated, 0);
    EXPECT_FALSE(ZelDebugLogEnabled());
    EXPECT_TRUE(log.Lines().empty());
}

TEST(ZelDebugLog, ThreadsNeverInterleave) {
    TempDir dir;
    LogToFile log(dir / "log");
    auto worker = [](char c) {
        const std::string message(100, c);
        for (int i = 0; i < 1000; ++i)
            ZEL_DEBUG_LOG("{} {}", message, i);
    };
    std::thread a(worker, 'a');
    std::thread b(worker, 'b');
    a.join();
    b.join();

    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 2000u);
    const std::regex line(
        R"(\[[A-Z][a-z]{2} \d\d \d\d:\d\d:\d\d [0-9A-F]{8}\] DEBUG : (a{100}|b{100}) \d+)");
    int counts[2] = {0, 0};
    for (const auto& l : lines) {
        ASSERT_TRUE(std::regex_match(l, line)) << l;
        ++counts[l[l.find(" : ") + 3] == 'a' ? 0 : 1];
    }
    EXPECT_EQ(counts[0], 1000);
    EXPECT_EQ(counts[1], 1000);
}
