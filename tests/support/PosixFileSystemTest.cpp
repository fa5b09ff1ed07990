#include "support/PosixFileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestSupport.h"

using namespace testing_support;

namespace {

// Listing is the scan's and the read-ahead lister's tests, on real folders.
TEST(PosixFileSystem, ReadsOnlyRegularFilesWithinTheLimitAndWritesAsAsked) {
    TempDir dir;
    auto& fs = zel::IFileSystem::Default();
    std::string contents(200'000, '\0');
    for (size_t i = 0; i < contents.size(); ++i)
        contents[i] = static_cast<char>(i * 7);
    WriteFile(dir / "data", contents);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::string out = "stale";
    EXPECT_EQ(fs.ReadFile(dir / "data", contents.size(), out), 0);
    EXPECT_EQ(out, contents);
    EXPECT_EQ(fs.ReadFile(dir / "data", contents.size() - 1, out), EFBIG);
    EXPECT_EQ(fs.ReadFile(dir / "fifo", 100, out), EINVAL);  // refused, not waited on
    EXPECT_EQ(fs.ReadFile("/dev/zero", 100, out), EINVAL);
    EXPECT_EQ(out, "");

    int fd = -1;
    ASSERT_EQ(fs.OpenForWrite(dir / "new", true, 0600, fd), 0);
    EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    ASSERT_EQ(fs.WriteAll(fd, "hello world", 11), 0);
    EXPECT_EQ(fs.Close(fd), 0);
    EXPECT_EQ(fs.OpenForWrite(dir / "new", true, 0600, fd), EEXIST);
    ASSERT_EQ(fs.OpenForWrite(dir / "new", false, 0600, fd), 0);
    ASSERT_EQ(fs.WriteAll(fd, "bye", 3), 0);
    EXPECT_EQ(fs.Close(fd), 0);
    EXPECT_EQ(ReadFile(dir / "new"), "bye");  // truncated in place
}

}  // namespace
