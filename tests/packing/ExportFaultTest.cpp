// Exports that cannot be written: a folder without write permission, a full
// file system, targets that are not regular files. The user gets a message
// naming the file and the reason; the previous export survives byte for byte
// and no temporary file is left behind.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <thread>

#include "PackTestSupport.h"
#include "support/FaultyFileSystem.h"
#include "support/MountNamespace.h"

using namespace packing_test;
using testing_support::FolderNames;
using testing_support::MountKind;
using testing_support::ReadFile;
using testing_support::RunWithMount;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

const char kOld[] = "previous export\r\n";

// Enough files for an export well past 64 KiB.
void FillAndPack(CCorvelinDoc& doc) {
    for (int i = 0; i < 3000; ++i)
        AddFile(doc.root, "/archive/some/folder/file" + std::to_string(i) + ".bin", 7);
    ASSERT_TRUE(doc.Pack(1000));
}

void ExpectMessage(const std::string& message, const std::string& path, int error) {
    EXPECT_NE(message.find("ファイルに書き込めませんでした。"), std::string::npos) << message;
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find(zel::ErrorText(error)), std::string::npos) << message;
}

// The child's view of an export attempt, one field a line.
std::string Attempt(CCorvelinDoc& doc, const std::string& path, const std::string& folder) {
    std::string message;
    const bool ok = doc.ExportPacks(path, message);
    return std::string(ok ? "ok" : "failed") + "\n" + message + "\n--\n" + ReadFile(path) + "--\n" +
           FolderNames(folder);
}

std::string Expected(const std::string& message, const std::string& folderNames) {
    return "failed\n" + message + "\n--\n" + kOld + "--\n" + folderNames;
}

TEST(ExportFault, UnwritableFolderByInjectedFailure) {
    CCorvelinDoc doc;
    FillAndPack(doc);
    TempDir dir;
    const std::string path = dir / "out.csv";
    WriteFile(path, kOld);
    testing_support::FaultyFileSystem fs;
    fs.openError = EACCES;
    std::string message;
    EXPECT_FALSE(doc.ExportPacks(path, message, fs));
    ExpectMessage(message, path, EACCES);
    EXPECT_EQ(ReadFile(path), kOld);
    EXPECT_EQ(FolderNames(dir.Path()), "out.csv");
}

TEST(ExportFault, ReadOnlyMount) {
    CCorvelinDoc doc;
    FillAndPack(doc);
    TempDir dir;
    const std::string path = dir / "out.csv";
    WriteFile(path, kOld);
    const auto run = RunWithMount(dir.Path(), MountKind::ReadOnly,
                                  [&] { return Attempt(doc, path, dir.Path()); });
    if (!run.available) GTEST_SKIP() << "no private mount namespace here";
    const size_t end = run.output.find("\n--\n");
    ASSERT_NE(end, std::string::npos) << run.output;
    const std::string childMessage = run.output.substr(7, end - 7);
    ExpectMessage(childMessage, path, EROFS);
    EXPECT_EQ(run.output, Expected(childMessage, "out.csv"));
    EXPECT_EQ(ReadFile(path), kOld);
}

TEST(ExportFault, FullFileSystem) {
    CCorvelinDoc doc;
    FillAndPack(doc);
    TempDir dir;
    const std::string folder = dir / "tiny";
    testing_support::MakeDir(folder);
    const std::string path = folder + "/out.csv";
    const auto run = RunWithMount(folder, MountKind::TinyTmpfs, [&] {
        WriteFile(path, kOld);
        return Attempt(doc, path, folder);
    });
    if (!run.available) GTEST_SKIP() << "no private mount namespace here";
    const size_t end = run.output.find("\n--\n");
    ASSERT_NE(end, std::string::npos) << run.output;
    const std::string childMessage = run.output.substr(7, end - 7);
    ExpectMessage(childMessage, path, ENOSPC);
    EXPECT_EQ(run.output, Expected(childMessage, "out.csv"));
}

TEST(ExportFault, DevFullIsWrittenInPlaceAndFails) {
    CCorvelinDoc doc;
    FillAndPack(doc);
    struct stat st {};
    if (::stat("/dev/full", &st) != 0 || !S_ISCHR(st.st_mode)) GTEST_SKIP() << "no /dev/full";
    std::string message;
    EXPECT_FALSE(doc.ExportPacks("/dev/full", message));
    ExpectMessage(message, "/dev/full", ENOSPC);
    ASSERT_EQ(::lstat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    // Through a link: the link stays, nothing is left beside it.
    TempDir dir;
    ASSERT_EQ(::symlink("/dev/full", (dir / "link.csv").c_str()), 0);
    EXPECT_FALSE(doc.ExportPacks(dir / "link.csv", message));
    ExpectMessage(message, dir / "link.csv", ENOSPC);
    ASSERT_EQ(::lstat((dir / "link.csv").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(FolderNames(dir.Path()), "link.csv");
}

TEST(ExportFault, TargetsThatAreNotRegularFilesStayWhatTheyAre) {
    CCorvelinDoc doc;
    AddFile(doc.root, "/a.bin", 3);
    ASSERT_TRUE(doc.Pack(10));
    const std::string line = "/a.bin\t3\t\t1\t\r\n";
    std::string message;
    struct stat st {};

    ASSERT_TRUE(doc.ExportPacks("/dev/null", message)) << message;
    ASSERT_EQ(::lstat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(fifo); });
    EXPECT_TRUE(doc.ExportPacks(fifo, message)) << message;
    reader.join();
    EXPECT_EQ(received, line);
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // A link whose target cannot take the data stays a link to the same file.
    WriteFile(dir / "target.csv", kOld);
    ASSERT_EQ(::symlink("target.csv", (dir / "link.csv").c_str()), 0);
    testing_support::FaultyFileSystem fs;
    fs.openError = EACCES;
    EXPECT_FALSE(doc.ExportPacks(dir / "link.csv", message, fs));
    ExpectMessage(message, dir / "link.csv", EACCES);
    EXPECT_EQ(ReadFile(dir / "target.csv"), kOld);
    ASSERT_EQ(::lstat((dir / "link.csv").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    char target[64] = {};
    ASSERT_GT(::readlink((dir / "link.csv").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "target.csv");
    EXPECT_EQ(FolderNames(dir.Path()), "fifo|link.csv|target.csv");
}

}  // namespace
