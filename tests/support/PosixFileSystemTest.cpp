#include "support/PosixFileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "TestSupport.h"

using namespace testing_support;

namespace {

std::map<std::string, zel::DirEntry> ListByName(const std::string& path) {
    std::vector<zel::DirEntry> entries;
    EXPECT_EQ(zel::IFileSystem::Default().ListFolder(path, entries), 0);
    std::map<std::string, zel::DirEntry> byName;
    for (auto& e : entries)
        byName[e.name] = e;
    EXPECT_EQ(byName.size(), entries.size());
    return byName;
}

}  // namespace

TEST(PosixFileSystem, ListFolderGivesTargetStatsAndMarksLinks) {
    TempDir dir;
    WriteFile(dir / "file.txt", "12345");
    MakeDir(dir / "sub");
    MakeSparseFile(dir / "big", 5'000'000'000ULL);
    ASSERT_EQ(::symlink("file.txt", (dir / "link").c_str()), 0);
    ASSERT_EQ(::symlink("sub", (dir / "dirlink").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (dir / "dangling").c_str()), 0);
    const std::string oddName = "bad\xff\xfe name";
    WriteFile(dir / oddName, "x");

    auto byName = ListByName(dir.Path());
    ASSERT_EQ(byName.size(), 7u);
    EXPECT_EQ(byName.count("."), 0u);
    EXPECT_EQ(byName.count(".."), 0u);

    EXPECT_FALSE(byName["file.txt"].isLink);
    EXPECT_EQ(byName["file.txt"].stat.kind, zel::FileKind::Regular);
    EXPECT_EQ(byName["file.txt"].stat.size, 5u);
    EXPECT_EQ(byName["sub"].stat.kind, zel::FileKind::Directory);
    EXPECT_EQ(byName["big"].stat.size, 5'000'000'000ULL);

    EXPECT_TRUE(byName["link"].isLink);
    EXPECT_EQ(byName["link"].statError, 0);
    EXPECT_EQ(byName["link"].stat.kind, zel::FileKind::Regular);
    EXPECT_EQ(byName["link"].stat.size, 5u);
    EXPECT_EQ(byName["link"].stat.inode, byName["file.txt"].stat.inode);
    EXPECT_TRUE(byName["dirlink"].isLink);
    EXPECT_EQ(byName["dirlink"].stat.kind, zel::FileKind::Directory);

    EXPECT_TRUE(byName["dangling"].isLink);
    EXPECT_EQ(byName["dangling"].statError, ENOENT);

    EXPECT_EQ(byName[oddName].stat.size, 1u);
}

TEST(PosixFileSystem, ListFolderReportsErrors) {
    TempDir dir;
    WriteFile(dir / "file", "");
    std::vector<zel::DirEntry> entries(3);
    auto& fs = zel::IFileSystem::Default();
    EXPECT_EQ(fs.ListFolder(dir / "missing", entries), ENOENT);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(fs.ListFolder(dir / "file", entries), ENOTDIR);
    EXPECT_EQ(fs.ListFolder(dir.Path(), entries), 0);
    EXPECT_EQ(entries.size(), 1u);
}

TEST(PosixFileSystem, StatFollowsLinksAndLstatDoesNot) {
    TempDir dir;
    WriteFile(dir / "f", "abc");
    ASSERT_EQ(::symlink("f", (dir / "l").c_str()), 0);
    auto& fs = zel::IFileSystem::Default();
    zel::FileStat st;
    ASSERT_EQ(fs.Stat(dir / "l", st), 0);
    EXPECT_EQ(st.kind, zel::FileKind::Regular);
    EXPECT_EQ(st.size, 3u);
    ASSERT_EQ(fs.Lstat(dir / "l", st), 0);
    EXPECT_EQ(st.kind, zel::FileKind::Symlink);
    EXPECT_EQ(fs.Stat(dir / "nope", st), ENOENT);
}

TEST(PosixFileSystem, ReadFileTakesOnlyRegularFilesWithinTheLimit) {
    TempDir dir;
    auto& fs = zel::IFileSystem::Default();
    std::string contents(200'000, '\0');
    for (size_t i = 0; i < contents.size(); ++i)
        contents[i] = static_cast<char>(i * 7);
    WriteFile(dir / "data", contents);
    WriteFile(dir / "empty", "");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("data", (dir / "link").c_str()), 0);

    std::string out = "stale";
    EXPECT_EQ(fs.ReadFile(dir / "data", contents.size(), out), 0);
    EXPECT_EQ(out, contents);
    EXPECT_EQ(fs.ReadFile(dir / "link", 1 << 20, out), 0);
    EXPECT_EQ(out, contents);
    EXPECT_EQ(fs.ReadFile(dir / "empty", 0, out), 0);
    EXPECT_EQ(out, "");

    EXPECT_EQ(fs.ReadFile(dir / "data", contents.size() - 1, out), EFBIG);
    EXPECT_EQ(fs.ReadFile(dir / "fifo", 100, out), EINVAL);  // refused, not waited on
    EXPECT_EQ(fs.ReadFile(dir.Path(), 100, out), EINVAL);
    EXPECT_EQ(fs.ReadFile("/dev/zero", 100, out), EINVAL);
    EXPECT_EQ(fs.ReadFile(dir / "missing", 100, out), ENOENT);
    EXPECT_EQ(out, "");
}

TEST(PosixFileSystem, WritingCreatesExclusivelyOrTruncatesInPlace) {
    TempDir dir;
    auto& fs = zel::IFileSystem::Default();
    int fd = -1;
    ASSERT_EQ(fs.OpenForWrite(dir / "new", true, 0600, fd), 0);
    ASSERT_EQ(fs.WriteAll(fd, "hello world", 11), 0);
    EXPECT_EQ(fs.Sync(fd), 0);
    EXPECT_EQ(fs.Close(fd), 0);
    EXPECT_EQ(ReadFile(dir / "new"), "hello world");
    struct stat st;
    ASSERT_EQ(::stat((dir / "new").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    EXPECT_EQ(fs.OpenForWrite(dir / "new", true, 0600, fd), EEXIST);
    EXPECT_EQ(fd, -1);
    ASSERT_EQ(fs.OpenForWrite(dir / "new", false, 0600, fd), 0);
    EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    ASSERT_EQ(fs.WriteAll(fd, "bye", 3), 0);
    EXPECT_EQ(fs.Close(fd), 0);
    EXPECT_EQ(ReadFile(dir / "new"), "bye");

    EXPECT_EQ(fs.Rename(dir / "new", dir / "renamed"), 0);
    EXPECT_EQ(fs.Remove(dir / "renamed"), 0);
    EXPECT_EQ(fs.Remove(dir / "renamed"), ENOENT);
    EXPECT_EQ(fs.MakeFolder(dir / "folder", 0700), 0);
    EXPECT_EQ(fs.MakeFolder(dir / "folder", 0700), EEXIST);
    EXPECT_EQ(fs.OpenForWrite(dir / "nofolder/x", true, 0600, fd), ENOENT);
}

TEST(PosixFileSystem, ErrorTextNamesTheError) {
    const std::string missing = zel::ErrorText(ENOENT);
    EXPECT_FALSE(missing.empty());
    EXPECT_NE(missing, zel::ErrorText(EACCES));
    EXPECT_FALSE(zel::ErrorText(123456).empty());
}
