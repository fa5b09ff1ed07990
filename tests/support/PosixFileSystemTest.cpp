#include "support/PosixFileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "TestSupport.h"

using namespace testing_support;

namespace {

TEST(PosixFileSystem, ListFolderGivesTargetStatsAndMarksLinks) {
    TempDir dir;
    WriteFile(dir / "file.txt", "12345");
    MakeDir(dir / "sub");
    MakeSparseFile(dir / "big", 5'000'000'000ULL);
    ASSERT_EQ(::symlink("file.txt", (dir / "link").c_str()), 0);
    ASSERT_EQ(::symlink("sub", (dir / "dirlink").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (dir / "dangling").c_str()), 0);
    auto& fs = zel::IFileSystem::Default();
    std::vector<zel::DirEntry> entries(3);
    ASSERT_EQ(fs.ListFolder(dir.Path(), entries), 0);
    std::map<std::string, zel::DirEntry> e;
    for (auto& entry : entries)
        e[entry.name] = entry;
    ASSERT_EQ(e.size(), 6u);  // never "." or ".."
    EXPECT_EQ(e["sub"].stat.kind, zel::FileKind::Directory);
    EXPECT_EQ(e["big"].stat.size, 5'000'000'000ULL);
    EXPECT_TRUE(e["link"].isLink && !e["file.txt"].isLink);
    EXPECT_EQ(e["link"].stat.inode, e["file.txt"].stat.inode);
    EXPECT_EQ(e["dirlink"].stat.kind, zel::FileKind::Directory);
    EXPECT_EQ(e["dangling"].statError, ENOENT);
    EXPECT_EQ(fs.ListFolder(dir / "missing", entries), ENOENT);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(fs.ListFolder(dir / "file.txt", entries), ENOTDIR);
}

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
