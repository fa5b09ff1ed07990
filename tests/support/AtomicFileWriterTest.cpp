#include "support/AtomicFileWriter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "TestSupport.h"
#include "support/FaultyFileSystem.h"

using namespace testing_support;

namespace {

// Names in a folder, to catch temporary files left behind.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<zel::DirEntry> entries;
    zel::IFileSystem::Default().ListFolder(folder, entries);
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
}

ino_t Inode(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_ino;
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode;
}

}  // namespace

TEST(AtomicFileWriter, CreatesANewFileWithoutLeftovers) {
    TempDir dir;
    const mode_t mask = ::umask(022);
    zel::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(dir / "out.txt"));
    EXPECT_FALSE(writer.WritesInPlace());
    EXPECT_TRUE(writer.Write("line 1\n"));
    EXPECT_TRUE(writer.Write(""));
    EXPECT_TRUE(writer.Write("line 2\n"));
    // Nothing is visible under the final name before Commit.
    EXPECT_EQ(::access((dir / "out.txt").c_str(), F_OK), -1);
    ASSERT_TRUE(writer.Commit());
    ::umask(mask);
    EXPECT_EQ(ReadFile(dir / "out.txt"), "line 1\nline 2\n");
    EXPECT_EQ(Mode(dir / "out.txt") & 07777, 0644u);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.txt"});
    EXPECT_EQ(writer.Error(), 0);
}

TEST(AtomicFileWriter, ReplacesARegularFileKeepingItsPermissions) {
    TempDir dir;
    WriteFile(dir / "data", "old contents");
    ASSERT_EQ(::chmod((dir / "data").c_str(), 0640), 0);
    const ino_t oldInode = Inode(dir / "data");

    // More than the buffer holds, in small and big pieces.
    std::string expected;
    zel::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(dir / "data"));
    for (int i = 0; i < 50'000; ++i) {
        const std::string piece = "entry " + std::to_string(i) + "\n";
        expected += piece;
        ASSERT_TRUE(writer.Write(piece));
    }
    const std::string big(3 << 20, 'z');
    expected += big;
    ASSERT_TRUE(writer.Write(big));
    expected += "end";
    ASSERT_TRUE(writer.Write("end"));
    ASSERT_TRUE(writer.Commit());

    EXPECT_EQ(ReadFile(dir / "data"), expected);
    EXPECT_EQ(Mode(dir / "data") & 07777, 0640u);
    EXPECT_NE(Inode(dir / "data"), oldInode);  // replaced, not rewritten
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"data"});
}

TEST(AtomicFileWriter, AFailedStepKeepsTheOldFileAndRemovesTheTemporary) {
    struct Case {
        const char* step;
        void (*inject)(FaultyFileSystem&);
        int error;
    };
    const Case cases[] = {
        {"write", [](FaultyFileSystem& fs) { fs.writeError = ENOSPC; }, ENOSPC},
        {"sync", [](FaultyFileSystem& fs) { fs.syncError = EIO; }, EIO},
        {"close", [](FaultyFileSystem& fs) { fs.closeError = EDQUOT; }, EDQUOT},
        {"rename", [](FaultyFileSystem& fs) { fs.renameError = EACCES; }, EACCES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        TempDir dir;
        WriteFile(dir / "profile.ini", "keep me");
        FaultyFileSystem fs;
        c.inject(fs);
        zel::AtomicFileWriter writer(fs);
        ASSERT_TRUE(writer.Open(dir / "profile.ini"));
        writer.Write("new contents");
        EXPECT_FALSE(writer.Commit());
        EXPECT_EQ(writer.Error(), c.error);
        EXPECT_EQ(writer.ErrorStep(), c.step);
        EXPECT_EQ(ReadFile(dir / "profile.ini"), "keep me");
        EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"profile.ini"});
        ASSERT_EQ(fs.created.size(), 1u);
        EXPECT_EQ(fs.removed, fs.created);
    }
}

TEST(AtomicFileWriter, AWriteFailureWhileBufferingIsKeptUntilCommit) {
    TempDir dir;
    WriteFile(dir / "f", "old");
    FaultyFileSystem fs;
    fs.writeError = ENOSPC;
    zel::AtomicFileWriter writer(fs);
    ASSERT_TRUE(writer.Open(dir / "f"));
    EXPECT_FALSE(writer.Write(std::string(2 << 20, 'a')));
    EXPECT_FALSE(writer.Write("more"));  // later writes are refused, not retried
    EXPECT_EQ(fs.writeCalls, 1);
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(writer.Error(), ENOSPC);
    EXPECT_EQ(ReadFile(dir / "f"), "old");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"f"});
}

TEST(AtomicFileWriter, TemporaryNamesAreRetriedOnCollision) {
    TempDir dir;
    FaultyFileSystem fs;
    fs.exclusiveCollisions = 5;
    EXPECT_TRUE([&] {
        int error = 0;
        return zel::WriteFileAtomically(fs, dir / "f", "data", error);
    }());
    EXPECT_EQ(ReadFile(dir / "f"), "data");
    ASSERT_EQ(fs.created.size(), 1u);
    const std::string tempName = fs.created[0].substr(dir.Path().size() + 1);
    EXPECT_EQ(tempName.rfind(".f.", 0), 0u) << tempName;  // hidden, beside the target

    fs.exclusiveCollisions = 1'000'000;
    int error = 0;
    EXPECT_FALSE(zel::WriteFileAtomically(fs, dir / "f", "other", error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(ReadFile(dir / "f"), "data");
}

TEST(AtomicFileWriter, AnUnwritableFolderFailsAtCreation) {
    TempDir dir;
    WriteFile(dir / "f", "old");
    FaultyFileSystem fs;
    fs.openError = EACCES;
    zel::AtomicFileWriter writer(fs);
    EXPECT_FALSE(writer.Open(dir / "f"));
    EXPECT_FALSE(writer.Write("x"));
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(writer.Error(), EACCES);
    EXPECT_EQ(writer.ErrorStep(), "create");
    EXPECT_EQ(ReadFile(dir / "f"), "old");

    int error = 0;
    EXPECT_FALSE(
        zel::WriteFileAtomically(zel::IFileSystem::Default(), dir / "no/such/file", "x", error));
    EXPECT_EQ(error, ENOENT);

    FaultyFileSystem statFails;
    statFails.lstatError = EACCES;
    zel::AtomicFileWriter second(statFails);
    EXPECT_FALSE(second.Open(dir / "f"));
    EXPECT_EQ(second.ErrorStep(), "stat");
}

TEST(AtomicFileWriter, AbortAndDestructionLeaveTheTargetAlone) {
    TempDir dir;
    WriteFile(dir / "f", "old");
    {
        zel::AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(dir / "f"));
        writer.Write("never committed");
    }
    EXPECT_EQ(ReadFile(dir / "f"), "old");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"f"});

    zel::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(dir / "f"));
    writer.Write("dropped");
    writer.Abort();
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(ReadFile(dir / "f"), "old");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"f"});

    // The writer can be used again after an abort.
    ASSERT_TRUE(writer.Open(dir / "f"));
    writer.Write("second");
    EXPECT_TRUE(writer.Commit());
    EXPECT_EQ(ReadFile(dir / "f"), "second");
}

TEST(AtomicFileWriter, WritesThroughASymbolicLinkInPlace) {
    TempDir dir;
    WriteFile(dir / "target", "old old old");
    ASSERT_EQ(::symlink("target", (dir / "link").c_str()), 0);
    const ino_t targetInode = Inode(dir / "target");

    zel::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(dir / "link"));
    EXPECT_TRUE(writer.WritesInPlace());
    writer.Write("new");
    ASSERT_TRUE(writer.Commit());

    EXPECT_TRUE(S_ISLNK(Mode(dir / "link")));
    EXPECT_EQ(ReadFile(dir / "target"), "new");  // truncated, not merged
    EXPECT_EQ(Inode(dir / "target"), targetInode);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"link", "target"}));
}

TEST(AtomicFileWriter, WritesToAFifoInPlace) {
    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(fifo); });

    const std::string payload(300'000, 'q');  // more than a pipe holds
    int error = -1;
    EXPECT_TRUE(zel::WriteFileAtomically(zel::IFileSystem::Default(), fifo, payload, error));
    EXPECT_EQ(error, 0);
    reader.join();
    EXPECT_EQ(received, payload);
    EXPECT_TRUE(S_ISFIFO(Mode(fifo)));
}

TEST(AtomicFileWriter, InPlaceSyncFailuresOtherThanUnsupportedAreReported) {
    TempDir dir;
    WriteFile(dir / "target", "old");
    ASSERT_EQ(::symlink("target", (dir / "link").c_str()), 0);
    FaultyFileSystem fs;
    fs.syncError = EINVAL;  // what a pipe or terminal answers
    int error = 0;
    EXPECT_TRUE(zel::WriteFileAtomically(fs, dir / "link", "a", error));
    fs.syncError = EIO;
    EXPECT_FALSE(zel::WriteFileAtomically(fs, dir / "link", "b", error));
    EXPECT_EQ(error, EIO);
}

TEST(AtomicFileWriter, ADescriptorIsWrittenButNeitherClosedNorReplaced) {
    TempDir dir;
    const std::string path = dir / "appended";
    WriteFile(path, "kept\n");
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    const ino_t before = Inode(path);
    {
        zel::AtomicFileWriter writer;
        ASSERT_TRUE(writer.OpenDescriptor(fd));
        EXPECT_TRUE(writer.WritesInPlace());
        EXPECT_TRUE(writer.Write("added\n"));
        EXPECT_TRUE(writer.Commit());
    }
    EXPECT_EQ(::write(fd, "more\n", 5), 5);  // still open
    ::close(fd);
    EXPECT_EQ(ReadFile(path), "kept\nadded\nmore\n");
    EXPECT_EQ(Inode(path), before);

    zel::AtomicFileWriter closed;
    EXPECT_FALSE(closed.OpenDescriptor(-1));
    EXPECT_EQ(closed.Error(), EBADF);
}
