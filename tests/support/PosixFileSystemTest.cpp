#include "support/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "support/StatRing.h"

using namespace testing_support;

namespace {

// A listing longer than one read of the folder comes whole, in the folder's
// own order whatever order the entries are asked about in, and each entry
// carries what stat says of its target: the scan compares the two to find loops.
// Both with the stats asked for through the ring and one by one.
class PosixListing : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { zel::StatRing::SetAllowed(GetParam()); }
    void TearDown() override { zel::StatRing::SetAllowed(true); }
};

TEST_P(PosixListing, ListsEveryEntryWithTheStatOfItsTarget) {
    TempDir dir;
    auto& fs = zel::IFileSystem::Default();
    std::vector<std::string> made;
    for (int i = 0; i < 3000; ++i) {
        made.push_back("file-with-a-name-long-enough-to-fill-reads-" + std::to_string(i));
        MakeSparseFile(dir / made.back(), 5'000'000'000ull + static_cast<unsigned>(i));
    }
    MakeDir(dir / "sub");
    ASSERT_EQ(::symlink("sub", (dir / "link").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (dir / "dangling").c_str()), 0);
    made.insert(made.end(), {"sub", "link", "dangling"});
    std::vector<zel::DirEntry> entries;
    ASSERT_EQ(fs.ListFolder(dir.Path(), entries), 0);
    std::vector<std::string> names;
    for (const zel::DirEntry& entry : entries) {
        names.push_back(entry.name);
        EXPECT_EQ(entry.isLink, entry.name == "link" || entry.name == "dangling");
        zel::FileStat expected;
        EXPECT_EQ(entry.statError, fs.Stat(dir / entry.name, expected));
        if (entry.name == "dangling") {
            EXPECT_EQ(entry.statError, ENOENT);
            continue;
        }
        EXPECT_EQ(
            std::tie(entry.stat.kind, entry.stat.size, entry.stat.device, entry.stat.inode,
                     entry.stat.mode),
            std::tie(expected.kind, expected.size, expected.device, expected.inode, expected.mode))
            << entry.name;
    }
    std::vector<std::string> read;
    DIR* folder = ::opendir(dir.Path().c_str());
    ASSERT_NE(folder, nullptr);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") read.push_back(name);
    }
    ::closedir(folder);
    EXPECT_EQ(names, read);
    std::sort(names.begin(), names.end());
    std::sort(made.begin(), made.end());
    EXPECT_EQ(names, made);
    EXPECT_EQ(fs.ListFolder(dir / "missing", entries), ENOENT);
    EXPECT_TRUE(entries.empty());
    // A listing asked to stop gives up with nothing, as a scan's end asks of its listing threads.
    const std::atomic<bool> stop{true};
    entries.resize(1);
    EXPECT_EQ(fs.ListFolderUntil(dir.Path(), entries, stop), ECANCELED);
    EXPECT_TRUE(entries.empty());
}

INSTANTIATE_TEST_SUITE_P(RingOrNot, PosixListing, ::testing::Bool());

// Listing's faults are the scan's and the read-ahead lister's tests, on real folders.
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
