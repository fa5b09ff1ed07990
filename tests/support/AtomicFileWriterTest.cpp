#include "support/AtomicFileWriter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "TestSupport.h"
#include "support/FaultyFileSystem.h"
#include "support/Unprivileged.h"

using namespace testing_support;

namespace {

struct stat Lstat(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

bool Write(zel::IFileSystem& fs, const std::string& path, const std::string& text) {
    int error = 0;
    return zel::WriteFileAtomically(fs, path, text, error);
}

TEST(AtomicFileWriter, ReplacesWholeOnCommitOnlyAndAnyNameLengthWorks) {
    TempDir dir;
    const mode_t mask = ::umask(022);
    zel::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(dir / "new"));
    EXPECT_TRUE(writer.Write("a\n") && writer.Write(""));
    EXPECT_EQ(::access((dir / "new").c_str(), F_OK), -1);  // nothing visible before Commit
    ASSERT_TRUE(writer.Commit());
    ::umask(mask);
    EXPECT_EQ(Lstat(dir / "new").st_mode & 07777, 0644u);

    // More than the buffer holds, in small and big pieces, over an old file.
    const ino_t oldInode = Lstat(dir / "new").st_ino;
    std::string expected;
    ASSERT_TRUE(writer.Open(dir / "new"));
    for (int i = 0; i < 50'000; ++i) {
        expected += "entry " + std::to_string(i) + "\n";
        ASSERT_TRUE(writer.Write("entry " + std::to_string(i) + "\n"));
    }
    expected += std::string(3 << 20, 'z');
    ASSERT_TRUE(writer.Write(std::string(3 << 20, 'z')));
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadFile(dir / "new"), expected);
    EXPECT_NE(Lstat(dir / "new").st_ino, oldInode);  // replaced, not rewritten

    // The temporary name must fit beside a name of the longest length.
    for (const size_t length : {240u, 248u, 255u}) {
        const std::string path = dir / std::string(length, 'n');
        EXPECT_TRUE(Write(zel::IFileSystem::Default(), path, "y")) << length;
        EXPECT_EQ(ReadFile(path), "y");
    }
    EXPECT_EQ(FolderNames(dir.Path()).find(".n"), std::string::npos);
}

// Through a chain of links, relative then absolute, the final file is replaced
// beside itself, keeping mode, owner and group (tests run as root); the links
// stay. The profile, the presets file and the export all write through here.
TEST(AtomicFileWriter, ThroughLinksTheFinalFileIsReplacedBesideItself) {
    TempDir dir;
    MakeDir(dir / "conf");
    MakeDir(dir / "elsewhere");
    const std::string real = dir / "elsewhere/real";
    WriteFile(real, "old");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(!root || ::chown(real.c_str(), 12345, 23456) == 0);
    ASSERT_EQ(::symlink(real.c_str(), (dir / "elsewhere/mid").c_str()), 0);
    ASSERT_EQ(::symlink("../elsewhere/mid", (dir / "conf/f").c_str()), 0);
    FaultyFileSystem fs;
    ASSERT_TRUE(Write(fs, dir / "conf/f", "new"));
    EXPECT_EQ(ReadFile(real), "new");
    ASSERT_EQ(fs.created.size(), 1u);
    EXPECT_EQ(fs.created[0].rfind(dir / "elsewhere/.real.", 0), 0u) << fs.created[0];
    EXPECT_EQ(FolderNames(dir / "conf"), "f");
    EXPECT_EQ(FolderNames(dir / "elsewhere"), "mid|real");
    const struct stat st = Lstat(real);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_uid, root ? 12345u : ::geteuid());
    EXPECT_EQ(st.st_gid, root ? 23456u : ::getegid());
}

TEST(AtomicFileWriter, AFailedStepKeepsTheOldFileAndRemovesTheTemporary) {
    struct Case {
        const char* step;
        int FaultyFileSystem::*field;
        int error;
    };
    const Case cases[] = {
        {"write", &FaultyFileSystem::writeError, ENOSPC},
        {"sync", &FaultyFileSystem::syncError, EIO},
        {"close", &FaultyFileSystem::closeError, EDQUOT},
        {"rename", &FaultyFileSystem::renameError, EACCES},
        {"create", &FaultyFileSystem::exclusiveCollisions, EEXIST},  // every name taken
        {"stat", &FaultyFileSystem::lstatError, EACCES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        TempDir dir;
        WriteFile(dir / "f", "keep me");
        FaultyFileSystem fs;
        fs.*c.field = c.field == &FaultyFileSystem::exclusiveCollisions ? 1'000'000 : c.error;
        zel::AtomicFileWriter writer(fs);
        writer.Open(dir / "f");
        writer.Write(std::string(2 << 20, 'a'));
        writer.Write("b");
        EXPECT_FALSE(writer.Commit());
        EXPECT_TRUE(c.error != ENOSPC || fs.writeCalls == 1);  // a failed write is not retried
        EXPECT_EQ(writer.Error(), c.error);
        EXPECT_EQ(writer.ErrorStep(), c.step);
        EXPECT_EQ(ReadFile(dir / "f"), "keep me");
        EXPECT_EQ(FolderNames(dir.Path()), "f");
    }
    // A few taken temporary names are tried again.
    TempDir dir;
    FaultyFileSystem fs;
    fs.exclusiveCollisions = 5;
    EXPECT_TRUE(Write(fs, dir / "f", "old"));
    // Neither destruction nor Abort before Commit touches the target.
    for (const bool abort : {false, true}) {
        zel::AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(dir / "f"));
        writer.Write("dropped");
        if (abort) writer.Abort();
        EXPECT_TRUE(!abort || !writer.Commit());
    }
    EXPECT_EQ(ReadFile(dir / "f"), "old");
    EXPECT_EQ(FolderNames(dir.Path()), "f");
}

TEST(AtomicFileWriter, FifosDevicesAndWhatLiesBehindProcAreWrittenInPlace) {
    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(fifo); });
    const std::string payload(300'000, 'q');  // more than a pipe holds
    EXPECT_TRUE(Write(zel::IFileSystem::Default(), fifo, payload));
    reader.join();
    EXPECT_EQ(received, payload);
    EXPECT_TRUE(S_ISFIFO(Lstat(fifo).st_mode));

    // A ">>" redirection reached through /proc: appended to, never replaced.
    const std::string appended = dir / "appended";
    WriteFile(appended, "kept\n");
    const int fd = ::open(appended.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::symlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), (dir / "l").c_str()), 0);
    const ino_t before = Lstat(appended).st_ino;
    FaultyFileSystem fs;
    fs.syncError = EINVAL;  // what a pipe or terminal answers: not a failure in place
    EXPECT_TRUE(Write(fs, dir / "l", "added\n"));
    zel::AtomicFileWriter writer;
    ASSERT_TRUE(writer.OpenDescriptor(fd));
    EXPECT_TRUE(writer.Write("more\n") && writer.Commit());
    EXPECT_EQ(::write(fd, "end\n", 4), 4);  // the caller's descriptor stays open
    ::close(fd);
    EXPECT_EQ(ReadFile(appended), "kept\nadded\nmore\nend\n");
    EXPECT_EQ(Lstat(appended).st_ino, before);
    fs.syncError = EIO;
    EXPECT_FALSE(Write(fs, "/dev/null", "x"));
    EXPECT_TRUE(S_ISCHR(Lstat("/dev/null").st_mode));
}

// Tests run as root: only a child without privileges meets the refusals a user
// meets. A rename needs only a writable folder, so a file the user may not write
// must not be replaced either.
TEST(AtomicFileWriter, WhatTheKernelRefusesKeepsTheOldFileOrIsWrittenInPlace) {
    const struct {
        mode_t folderMode, fileMode;
        const char* outcome;
    } cases[] = {
        {0755, 0666, "1new"},  // the folder takes no new files
        {0777, 0644, "0old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outcome);
        TempDir dir;
        WriteFile(dir / "f", "old");
        ASSERT_EQ(::chmod(dir.Path().c_str(), c.folderMode), 0);
        ASSERT_EQ(::chmod((dir / "f").c_str(), c.fileMode), 0);
        const auto run =
            RunUnprivileged([&] { return Write(zel::IFileSystem::Default(), dir / "f", "new"); });
        if (!run) GTEST_SKIP() << "cannot drop root here";
        EXPECT_EQ(std::to_string(*run) + ReadFile(dir / "f"), c.outcome);
        EXPECT_EQ(FolderNames(dir.Path()), "f");
    }
}

}  // namespace
