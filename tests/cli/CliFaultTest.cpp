// corvelin-cli against failures and bad input: exports that cannot be written,
// a tree holding every kind of entry the scan must skip, and configuration
// files that are broken. Each run must say what went wrong and lose nothing.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "CliRunner.h"
#include "TestSupport.h"
#include "support/FileSystem.h"

using testing_support::CliResult;
using testing_support::MakeDir;
using testing_support::MakeSparseFile;
using testing_support::ReadFile;
using testing_support::RunCli;
using testing_support::RunProgram;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

const char kOld[] = "previous export\r\n";
constexpr int kNoNamespace = 77;

std::string Line(const std::string& path, unsigned long long size, int pack) {
    return path + "\t" + std::to_string(size) + "\t\t" + std::to_string(pack) + "\t\r\n";
}

bool IsKind(const std::string& path, mode_t kind) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

// Runs a shell script under a private mount namespace; $1.. are the arguments.
CliResult RunUnshared(const std::string& script, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/unshare", "-m", "/bin/sh", "-c", script, "sh"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv);
}

class CliFault : public ::testing::Test {
protected:
    TempDir dir;
    std::string Tree() const { return dir / "tree"; }
    void SetUp() override { MakeDir(Tree()); }

    // Enough files for an export well past 64 KiB.
    void ManyFiles() {
        for (int i = 0; i < 900; ++i) {
            MakeSparseFile(Tree() + "/a-rather-long-file-name-for-the-export-" + std::to_string(i),
                           static_cast<unsigned long long>(i));
        }
    }

    void ExpectWriteFailure(const CliResult& r, const std::string& path, int error) {
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("corvelin-cli: ファイルに書き込めませんでした。"), std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(zel::ErrorText(error)), std::string::npos) << r.err;
    }
};

}  // namespace

TEST_F(CliFault, ExportIntoAReadOnlyFolderKeepsTheOldFile) {
    MakeSparseFile(Tree() + "/x.dat", 10);
    const std::string outDir = dir / "out";
    MakeDir(outDir);
    const std::string out = outDir + "/packs.csv";
    WriteFile(out, kOld);
    const CliResult r = RunUnshared(
        "mount --bind \"$1\" \"$1\" && mount -o remount,ro,bind \"$1\" || exit 77\n"
        "shift; exec \"$@\"",
        {outDir, CORVELIN_CLI_PATH, "-q", "-o", out, Tree()});
    if (r.status == kNoNamespace) GTEST_SKIP() << "no private mount namespace here: " << r.err;
    ExpectWriteFailure(r, out, EROFS);
    EXPECT_EQ(ReadFile(out), kOld);
    std::vector<zel::DirEntry> entries;
    ASSERT_EQ(zel::IFileSystem::Default().ListFolder(outDir, entries), 0);
    ASSERT_EQ(entries.size(), 1u);
}

TEST_F(CliFault, ExportOntoAFullFileSystemKeepsTheOldFile) {
    ManyFiles();
    const std::string outDir = dir / "out";
    MakeDir(outDir);
    const std::string out = outDir + "/packs.csv";
    const CliResult r = RunUnshared(
        "mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 77\n"
        "printf 'previous export\\r\\n' > \"$1/packs.csv\"\n"
        "\"$2\" -q -o \"$1/packs.csv\" \"$3\"; rc=$?\n"
        "ls -A \"$1\"; echo --; cat \"$1/packs.csv\"; exit $rc",
        {outDir, CORVELIN_CLI_PATH, Tree()});
    if (r.status == kNoNamespace) GTEST_SKIP() << "no private mount namespace here: " << r.err;
    ExpectWriteFailure(r, out, ENOSPC);
    EXPECT_EQ(r.out, std::string("packs.csv\n--\n") + kOld);
}

TEST_F(CliFault, DevFullAndOtherSpecialTargets) {
    MakeSparseFile(Tree() + "/x.dat", 10);
    const std::string expected = Line(Tree() + "/x.dat", 10, 1);

    if (IsKind("/dev/full", S_IFCHR)) {
        const CliResult r = RunCli({"-q", "-o", "/dev/full", Tree()});
        ExpectWriteFailure(r, "/dev/full", ENOSPC);
        EXPECT_TRUE(IsKind("/dev/full", S_IFCHR));
        // Through a link the link stays, and nothing is left beside it.
        ASSERT_EQ(::symlink("/dev/full", (dir / "full.csv").c_str()), 0);
        ExpectWriteFailure(RunCli({"-q", "-o", dir / "full.csv", Tree()}), dir / "full.csv",
                           ENOSPC);
        EXPECT_TRUE(IsKind(dir / "full.csv", S_IFLNK));
    }

    CliResult r = RunCli({"-q", "-o", "/dev/null", Tree()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(IsKind("/dev/null", S_IFCHR));

    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(fifo); });
    r = RunCli({"-q", "-o", fifo, Tree()});
    reader.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(IsKind(fifo, S_IFIFO));

    std::vector<zel::DirEntry> entries;
    ASSERT_EQ(zel::IFileSystem::Default().ListFolder(dir.Path(), entries), 0);
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.name);
    std::sort(names.begin(), names.end());
    const std::vector<std::string> expectedNames =
        IsKind(dir / "full.csv", S_IFLNK) ? std::vector<std::string>{"fifo", "full.csv", "tree"}
                                          : std::vector<std::string>{"fifo", "tree"};
    EXPECT_EQ(names, expectedNames);
}

// Every kind of entry the scan must leave out, beside files it must take, in
// one tree: the exact skip list and the exact export.
TEST_F(CliFault, TreeWithEveryNastyKindOfEntry) {
    const std::string t = Tree();
    // Taken: distinct sizes over 1000 and a 1500-byte medium give one pack per
    // file in size order, so the export does not depend on listing order.
    MakeSparseFile(t + "/a.txt", 1001);
    MakeDir(t + "/sub");
    MakeSparseFile(t + "/sub/b.bin", 1002);
    MakeSparseFile(t + "/日本語.txt", 1003);
    const std::string notUtf8 = t + "/bad\xff\xfe.bin";
    MakeSparseFile(notUtf8, 1004);
    ASSERT_EQ(::symlink("a.txt", (t + "/link-to-a").c_str()), 0);
    MakeDir(t + "/locked");
    MakeSparseFile(t + "/locked/c.dat", 1005);
    const bool root = ::geteuid() == 0;
    if (!root) {
        ASSERT_EQ(::chmod((t + "/locked").c_str(), 0), 0);
    }

    // Left out.
    ASSERT_EQ(::symlink(t.c_str(), (t + "/sub/loop").c_str()), 0);
    ASSERT_EQ(::symlink("self", (t + "/self").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (t + "/dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo((t + "/fifo").c_str(), 0600), 0);
    for (const char* name : {"/tab\tname", "/cr\rname", "/lf\nname"})
        MakeSparseFile(t + name, 1);
    const std::string longFolder = t + "/" + std::string(200, 'x');
    MakeDir(longFolder);
    const std::string longFile = longFolder + "/" + std::string(100, 'y');
    MakeSparseFile(longFile, 1);
    const std::string gone = dir / "gone";

    const CliResult r = RunCli({"-q", "-s", "1500", "-o", "-", t, gone});
    ASSERT_EQ(r.status, 0) << r.err;

    std::string expected;
    int pack = 1;
    if (root) expected += Line(t + "/locked/c.dat", 1005, pack++);
    expected += Line(notUtf8, 1004, pack++);
    expected += Line(t + "/日本語.txt", 1003, pack++);
    expected += Line(t + "/sub/b.bin", 1002, pack++);
    expected += Line(t + "/a.txt", 1001, pack++);
    expected += Line(t + "/link-to-a", 1001, pack++);
    EXPECT_EQ(r.out, expected);

    std::vector<std::string> skipped = {
        "  " + t + "/sub/loop: " + std::string("リンクが循環しています"),
        "  " + t + "/self: " + std::string("リンクが循環しています") + " (" +
            zel::ErrorText(ELOOP) + ")",
        "  " + t + "/dangling: " + std::string("リンク先がありません") + " (" +
            zel::ErrorText(ENOENT) + ")",
        "  " + t + "/fifo: " + std::string("特殊ファイルです"),
        "  " + t + "/tab\tname: " + std::string("名前にタブまたは改行が含まれています"),
        "  " + t + "/cr\rname: " + std::string("名前にタブまたは改行が含まれています"),
        "  " + t + "/lf\nname: " + std::string("名前にタブまたは改行が含まれています"),
        "  " + longFile + ": " + std::string("パスが長すぎます（259 文字まで）"),
        "  " + gone + ": " + std::string("見つかりません") + " (" + zel::ErrorText(ENOENT) + ")",
    };
    if (!root) {
        skipped.push_back("  " + t + "/locked: " + std::string("フォルダを読み込めませんでした") +
                          " (" + zel::ErrorText(EACCES) + ")");
    }
    const std::string header = "corvelin-cli: " + std::to_string(skipped.size()) +
                               " 件の項目を読み込めなかったため、除外しました:\n";
    ASSERT_EQ(r.err.rfind(header, 0), 0u) << r.err;
    // The report follows the listing order of the file system: compare as sets.
    std::string rest = r.err.substr(header.size());
    std::sort(skipped.begin(), skipped.end());
    std::vector<std::string> reported;
    for (const std::string& entry : skipped) {
        const size_t at = rest.find(entry + "\n");
        EXPECT_NE(at, std::string::npos) << entry << "\n" << r.err;
        if (at != std::string::npos) rest.erase(at, entry.size() + 1);
    }
    EXPECT_EQ(rest, "") << "unexpected report lines";
}

TEST_F(CliFault, BrokenConfigurationFilesFallBackToTheDefaults) {
    MakeSparseFile(Tree() + "/k.jpg", 5);
    MakeSparseFile(Tree() + "/t.txt", 6);
    const std::string config = dir / "config";
    MakeDir(config);
    const std::string presets = config + "/ImportSettings.xml";
    const std::string profile = config + "/Corvelin.ini";
    // One pack lists its files in path order.
    const std::string all = Line(Tree() + "/k.jpg", 5, 1) + Line(Tree() + "/t.txt", 6, 1);

    // Profiles that hold nothing usable leave the default sizes registered.
    const std::string binary("\x00\xff[\x01General\x00]\r\xfe=\x80\n\x00", 14);
    for (const std::string& text :
         {std::string(), binary, std::string("[PackInfo]\nFIRST_FL"), std::string("[Pack")}) {
        WriteFile(profile, text);
        const CliResult r = RunCli({"-q", "--config-dir", config, "-s", "DVD(4.7GB)", "-o", "-",
                                    "-p", "all files", Tree()});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, all);
    }

    // Every malformed line kind: only the well-formed section counts.
    WriteFile(profile,
              "garbage before any section\n[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1\nName=Broken\n"
              "Size=1\n[PackInfo 2]\n=no key\nno equals\n;Name=Comment\nName=Tiny\nSize=8\n"
              "[PackInfo 3]\nSize=3\n");
    CliResult r = RunCli({"-q", "--config-dir", config, "-s", "Tiny", "-o", "-", Tree()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(Tree() + "/t.txt", 6, 1) + Line(Tree() + "/k.jpg", 5, 2));
    for (const char* unknown : {"Broken", "DVD(4.7GB)"}) {
        r = RunCli({"-q", "--config-dir", config, "-s", unknown, Tree()});
        EXPECT_EQ(r.status, 2) << unknown;
    }

    // A huge profile and a huge presets file are refused by their size.
    MakeSparseFile(profile, 100ull << 20);
    MakeSparseFile(presets, 100ull << 20);
    r = RunCli({"-q", "--config-dir", config, "-p", "all files", "-o", "-", Tree()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, all);
    // Neither file was touched: the command line never writes them.
    struct stat st {};
    ASSERT_EQ(::stat(presets.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 100ll << 20);
    ASSERT_EQ(::stat(profile.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 100ll << 20);

    // A presets file that is a folder does not load either: the built-in preset.
    ASSERT_EQ(::unlink(presets.c_str()), 0);
    MakeDir(presets);
    r = RunCli({"-q", "--config-dir", config, "-p", "all files", "-o", "-", Tree()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, all);

    // Binary and truncated presets files load what they hold: a cut second
    // preset is dropped, the complete first one is used.
    ASSERT_EQ(::rmdir(presets.c_str()), 0);
    const std::string jpgOnly =
        "<ImportSettings>\r\nName=\"jpg\"\r\nAutoGroup=0\r\n<InputFilter>\r\n<Filter>\r\n"
        "type=filename\r\nstring=\"*.jpg\"\r\nnocase=1\r\n</Filter>\r\n</InputFilter>\r\n"
        "<IgnoreFilter>\r\n</IgnoreFilter>\r\n</ImportSettings>\r\n\r\n";
    WriteFile(presets, jpgOnly + "<ImportSettings>\r\nName=\"cut\"\r\n<InputFil");
    r = RunCli({"-q", "--config-dir", config, "-p", "jpg", "-o", "-", Tree()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(Tree() + "/k.jpg", 5, 1));
    r = RunCli({"-q", "--config-dir", config, "-p", "cut", Tree()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("インポート設定が見つかりません: cut"), std::string::npos) << r.err;
    WriteFile(presets, binary);
    r = RunCli({"-q", "--config-dir", config, "-o", "-", Tree()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, all);
}
