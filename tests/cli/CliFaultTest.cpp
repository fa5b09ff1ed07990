// corvelin-cli against failures, signals and bad input: each run says what went
// wrong, ends with the right status and loses nothing.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "CliRunner.h"
#include "TestSupport.h"
#include "support/FileSystem.h"
#include "support/MountNamespace.h"

using namespace testing_support;

namespace {

const char kOld[] = "previous export\r\n";

std::string Line(const std::string& path, unsigned long long size, int pack) {
    return path + "\t" + std::to_string(size) + "\t\t" + std::to_string(pack) + "\t\r\n";
}

class CliFault : public ::testing::Test {
protected:
    TempDir dir;
    std::string Tree() const { return dir / "tree"; }
    std::string Out() const { return dir / "out/packs.csv"; }
    void SetUp() override {
        MakeDir(Tree());
        MakeDir(dir / "out");
        WriteFile(Out(), kOld);
    }
    // Enough files for an export well past what a pipe holds.
    void ManyFiles() {
        for (int i = 0; i < 3000; ++i)
            MakeSparseFile(Tree() + "/a-rather-long-file-name-" + std::to_string(i), 7);
    }
    // A failed or interrupted run leaves the old export and nothing beside it.
    void ExpectOldExportAlone() {
        EXPECT_EQ(ReadFile(Out()), kOld);
        EXPECT_EQ(FolderNames(dir / "out"), "packs.csv");
    }
};

TEST_F(CliFault, WriteFailuresAreReportedAndLoseNothing) {
    ManyFiles();
    // A file-size limit (ulimit -f) is a write failure, not a silent death.
    const std::string command = "ulimit -f 8 && exec '" + std::string(CORVELIN_CLI_PATH) +
                                "' -q -o '" + Out() + "' '" + Tree() + "'";
    CliResult r = RunProgram({"/bin/sh", "-c", command});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(zel::ErrorText(EFBIG)), std::string::npos) << r.err;
    ExpectOldExportAlone();

    for (const std::string& target : {std::string("/dev/full"), dir / "out", dir / "no/out"}) {
        r = RunCli({"-q", "-o", target, Tree()});
        EXPECT_EQ(r.status, 1) << target;
        EXPECT_NE(r.err.find("corvelin-cli: ファイルに書き込めませんでした。"), std::string::npos);
        EXPECT_NE(r.err.find(target), std::string::npos) << r.err;
    }
    ExpectOldExportAlone();

#ifndef CORVELIN_SANITIZED  // a sanitizer reserves far more address space than the limit
    // Memory that runs out during the scan ends the run with a message.
    const std::string limited = "ulimit -v 60000 && exec '" + std::string(CORVELIN_CLI_PATH) +
                                "' -q --auto-group -o '" + Out() + "' '" + Tree() + "'";
    r = RunProgram({"/bin/sh", "-c", limited}, {"CORVELIN_HUGEPAGES=0"});
    EXPECT_EQ(r.status, 1) << r.err;
    ExpectOldExportAlone();
#endif
}

// Memory that runs out on the main thread (here while the export grows its
// buffer, its temporary file open) is reported, with nothing exported. An
// address-space limit cannot single out the main thread: the heap grows in one
// large step, so a run under one fails in the scan or not at all.
TEST_F(CliFault, MemoryRunningOutOnTheMainThreadIsReported) {
#ifdef CORVELIN_SANITIZED
    GTEST_SKIP() << "the sanitizer's allocator cannot be replaced";
#endif
    ManyFiles();
    const CliResult r = RunProgram({CORVELIN_CLI_PATH, "-q", "-o", Out(), Tree()},
                                   {"LD_PRELOAD=" CORVELIN_FAIL_ALLOC_PATH,
                                    "CORVELIN_TEST_ALLOC_LIMIT=131072", "CORVELIN_HUGEPAGES=0"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "corvelin-cli: メモリが足りません\n");
    ExpectOldExportAlone();
}

TEST_F(CliFault, AStandardOutputInNonBlockingModeIsWaitedFor) {
    ManyFiles();
    const CliResult r = RunProgram({CORVELIN_CLI_PATH, "-q", "-o", "-", Tree()}, {}, true);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3000);
}

// A run blocked on a FIFO nobody reads or on a full pipe ends at once on
// SIGINT, SIGTERM and SIGHUP with status 130 and nothing exported.
TEST_F(CliFault, SignalsEndBlockedExports) {
    ManyFiles();
    const std::string fifo = dir / "out/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int fullPipe[2];
    ASSERT_EQ(::pipe(fullPipe), 0);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        for (const bool toFifo : {true, false}) {
            SCOPED_TRACE(std::to_string(sig) + (toFifo ? " fifo" : " pipe"));
            const pid_t pid =
                StartCli({"-q", "-o", toFifo ? fifo : "-", Tree()}, fullPipe[1], dir / "err");
            ASSERT_GT(pid, 0);
            ::usleep(500'000);
            ::kill(pid, sig);
            EXPECT_EQ(WaitCli(pid), 130) << ReadFile(dir / "err");
        }
    }
    ::close(fullPipe[0]);
    ::close(fullPipe[1]);
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A signal at any moment: the run either finished (status 0, the new export)
// or was interrupted (status 130, the old export); never anything between.
TEST_F(CliFault, ASignalAtAnyMomentExportsAllOrNothing) {
    ManyFiles();
    const int devNull = ::open("/dev/null", O_WRONLY);
    int interrupted = 0;
    for (int delay = 0; delay < 300'000; delay += 15'000) {
        WriteFile(Out(), kOld);
        const pid_t pid = StartCli({"-q", "-o", Out(), Tree()}, devNull, dir / "err");
        ::usleep(static_cast<useconds_t>(delay));
        ::kill(pid, delay % 2 ? SIGHUP : SIGINT);
        const int status = WaitCli(pid);
        SCOPED_TRACE(delay);
        EXPECT_TRUE(status == 0 || status == 130) << status;
        if (status == 0) {
            const std::string exported = ReadFile(Out());
            EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 3000);
            EXPECT_EQ(FolderNames(dir / "out"), "packs.csv");
        } else {
            ++interrupted;
            ExpectOldExportAlone();
        }
    }
    ::close(devNull);
    EXPECT_GT(interrupted, 0);
}

// Every kind of entry the scan must leave out, beside files it must take. The
// report shows control characters escaped, so no name reaches the terminal raw.
TEST_F(CliFault, TreeWithEveryNastyKindOfEntry) {
    const std::string t = Tree();
    // Distinct sizes over 1000 and a 1500-byte medium give one pack per file
    // in size order, so the export does not depend on listing order.
    MakeSparseFile(t + "/a.txt", 1001);
    MakeDir(t + "/sub");
    MakeSparseFile(t + "/sub/b.bin", 1002);
    MakeSparseFile(t + "/日本語.txt", 1003);
    const std::string notUtf8 = t + "/bad\xff\xfe.bin";
    MakeSparseFile(notUtf8, 1004);
    ASSERT_EQ(::symlink("a.txt", (t + "/link-to-a").c_str()), 0);
    ASSERT_EQ(::symlink(t.c_str(), (t + "/sub/loop").c_str()), 0);
    ASSERT_EQ(::symlink("self", (t + "/self").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (t + "/dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo((t + "/fifo").c_str(), 0600), 0);
    for (const char* name : {"/tab\tname", "/esc\x1b[2Jname\x9b"})
        MakeSparseFile(t + name, 1);
    const std::string longFile = t + "/" + std::string(200, 'x') + "/" + std::string(100, 'y');
    MakeDir(t + "/" + std::string(200, 'x'));
    MakeSparseFile(longFile, 1);

    const CliResult r = RunCli({"-q", "-s", "1500", "-o", "-", t, dir / "gone"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(notUtf8, 1004, 1) + Line(t + "/esc\x1b[2Jname\x9b", 1, 1) +
                         Line(t + "/日本語.txt", 1003, 2) + Line(t + "/sub/b.bin", 1002, 3) +
                         Line(t + "/a.txt", 1001, 4) + Line(t + "/link-to-a", 1001, 5));
    const std::string loop = "リンクが循環しています";
    std::vector<std::string> skipped = {
        t + "/sub/loop: " + loop,
        t + "/self: " + loop + " (" + zel::ErrorText(ELOOP) + ")",
        t + "/dangling: リンク先がありません (" + zel::ErrorText(ENOENT) + ")",
        t + "/fifo: 特殊ファイルです",
        t + "/tab\\x09name: 名前にタブまたは改行が含まれています",
        longFile + ": パスが長すぎます（259 文字まで）",
        dir / "gone: 見つかりません (" + zel::ErrorText(ENOENT) + ")",
    };
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.err.find('\t'), std::string::npos);
    EXPECT_NE(r.err.find(std::to_string(skipped.size()) + " 件の項目"), std::string::npos);
    for (const std::string& entry : skipped)
        EXPECT_NE(r.err.find("  " + entry + "\n"), std::string::npos) << entry << "\n" << r.err;
}

TEST_F(CliFault, BrokenConfigurationFilesFallBackToTheDefaults) {
    MakeSparseFile(Tree() + "/k.jpg", 5);
    MakeSparseFile(Tree() + "/t.txt", 6);
    const std::string config = dir / "config";
    MakeDir(config);
    const std::string presets = config + "/ImportSettings.xml";
    const std::string profile = config + "/Corvelin.ini";
    const std::string all = Line(Tree() + "/k.jpg", 5, 1) + Line(Tree() + "/t.txt", 6, 1);
    const std::string binary("\x00\xff[\x01General\x00]\r\xfe=\x80\n\x00", 14);
    const std::string jpgOnly =
        "<ImportSettings>\r\nName=\"jpg\"\r\nAutoGroup=0\r\n<InputFilter>\r\n<Filter>\r\n"
        "type=filename\r\nstring=\"*.jpg\"\r\nnocase=1\r\n</Filter>\r\n</InputFilter>\r\n"
        "<IgnoreFilter>\r\n</IgnoreFilter>\r\n</ImportSettings>\r\n\r\n";
    struct Case {
        std::string profileText, presetsText, preset, out;
    };
    const Case cases[] = {
        {binary, binary, "", all},
        {"[Pack", "", "", all},  // an empty presets file: no preset, the default filter
        // Malformed lines: only the well-formed section counts.
        {"junk\n[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1\nName=Tiny\nSize=1\n[PackInfo 2]\n"
         "=x\nnone\n;Name=C\nName=Tiny\nSize=8\n",
         jpgOnly, "jpg", Line(Tree() + "/k.jpg", 5, 1)},
        // A cut second preset is dropped, the first one used.
        {"", jpgOnly + "<ImportSettings>\r\nName=\"cut\"\r\n<InputFil", "cut", ""},
    };
    for (const Case& c : cases) {
        WriteFile(profile, c.profileText);
        WriteFile(presets, c.presetsText);
        std::vector<std::string> args = {"-q", "--config-dir", config, "-o", "-", Tree()};
        if (!c.preset.empty()) args.insert(args.begin(), {"-p", c.preset});
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.status, c.out.empty() ? 2 : 0) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
    // Huge files are refused by their size and never written by the command line.
    MakeSparseFile(profile, 100ull << 20);
    MakeSparseFile(presets, 100ull << 20);
    const CliResult r =
        RunCli({"-q", "--config-dir", config, "-p", "all files", "-o", "-", Tree()});
    EXPECT_EQ(r.out, all) << r.err;
    struct stat st {};
    ASSERT_EQ(::stat(presets.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 100ll << 20);
    ASSERT_EQ(::stat(profile.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 100ll << 20);
}

}  // namespace
