// corvelin-cli against failures, signals and bad input.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "TestSupport.h"
#include "support/FileSystem.h"
#include "support/Unprivileged.h"

using namespace testing_support;

namespace {

const char kOld[] = "previous export\r\n";
const std::string kCli = CORVELIN_CLI_PATH;

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
    void ManyFiles() {
        for (int i = 0; i < 3000; ++i)
            MakeSparseFile(Tree() + "/a-rather-long-file-name-" + std::to_string(i), 7);
    }
    void ExpectOldExportAlone() {
        EXPECT_EQ(ReadFile(Out()), kOld);
        EXPECT_EQ(FolderNames(dir / "out"), "packs.csv");
    }
};

TEST_F(CliFault, WriteAndMemoryFailuresAreReportedAndLoseNothing) {
    ManyFiles();
    // A file-size limit (ulimit -f) is a write failure, not a silent death.
    const std::string tail = " -q -o '" + Out() + "' '" + Tree() + "'";
    CliResult r = RunProgram({"/bin/sh", "-c", "ulimit -f 8 && exec '" + kCli + "'" + tail});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(zel::ErrorText(EFBIG)), std::string::npos) << r.err;
    for (const std::string& target : {std::string("/dev/full"), dir / "out", dir / "no/out"}) {
        r = RunCli({"-q", "-o", target, Tree()});
        EXPECT_EQ(r.status, 1) << target;
        EXPECT_NE(r.err.find("corvelin-cli: ファイルに書き込めませんでした。"), std::string::npos);
        EXPECT_NE(r.err.find(target), std::string::npos) << r.err;
    }
    // A summary that cannot be written fails the run; the export is whole.
    r = RunProgram(
        {"/bin/sh", "-c", "exec '" + kCli + "' -o '" + Out() + "' '" + Tree() + "' >/dev/full"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("集計表を書き出せませんでした"), std::string::npos) << r.err;
    const std::string whole = ReadFile(Out());
    EXPECT_EQ(std::count(whole.begin(), whole.end(), '\n'), 3000);
    WriteFile(Out(), kOld);
#ifndef CORVELIN_SANITIZED  // its allocator cannot be replaced nor run under a small limit
    // Memory that runs out in the scan's threads ends the run with a message.
    r = RunProgram({"/bin/sh", "-c", "ulimit -v 60000 && exec '" + kCli + "' --auto-group" + tail},
                   {"CORVELIN_HUGEPAGES=0"});
    EXPECT_EQ(r.status, 1) << r.err;
    // An address-space limit cannot single out the main thread, where the
    // export grows its buffer with its temporary file open.
    r = RunProgram({kCli, "-q", "-o", Out(), Tree()},
                   {"LD_PRELOAD=" CORVELIN_FAIL_ALLOC_PATH, "CORVELIN_TEST_ALLOC_LIMIT=131072",
                    "CORVELIN_HUGEPAGES=0"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "corvelin-cli: メモリが足りません\n");
#endif
    ExpectOldExportAlone();
    // A standard output in non-blocking mode is waited for, not given up on.
    r = RunProgram({kCli, "-q", "-o", "-", Tree()}, {}, true);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3000);
}

// A run blocked on a FIFO or a full pipe ends at once on a signal; at any other
// moment it leaves the whole new export (status 0) or the old one (130).
TEST_F(CliFault, SignalsEndRunsWithAllOrNothingExported) {
    ManyFiles();
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int fullPipe[2];
    ASSERT_EQ(::pipe(fullPipe), 0);
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const std::pair<int, std::string> blocked[] = {
        {SIGINT, fifo}, {SIGTERM, "-"}, {SIGHUP, fifo}, {SIGINT, "-"}};
    for (const auto& [sig, target] : blocked) {
        const pid_t pid = StartCli({"-q", "-o", target, Tree()}, fullPipe[1], devNull);
        ASSERT_GT(pid, 0);
        ::usleep(500'000);
        ::kill(pid, sig);
        EXPECT_EQ(WaitCli(pid), 130) << sig << target;
    }
    ::close(fullPipe[0]);
    EXPECT_EQ(std::filesystem::symlink_status(fifo).type(), std::filesystem::file_type::fifo);

    ::close(fullPipe[1]);
    int interrupted = 0;
    for (int delay = 0; delay < 300'000; delay += 15'000) {
        WriteFile(Out(), kOld);
        const pid_t pid = StartCli({"-q", "-o", Out(), Tree()}, devNull, devNull);
        ::usleep(static_cast<useconds_t>(delay));
        ::kill(pid, delay % 2 ? SIGHUP : SIGINT);
        const int status = WaitCli(pid);
        EXPECT_TRUE(status == 0 || status == 130) << status << " after " << delay;
        if (status == 130) {
            ++interrupted;
            ExpectOldExportAlone();
            continue;
        }
        const std::string exported = ReadFile(Out());
        EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 3000);
        EXPECT_EQ(FolderNames(dir / "out"), "packs.csv");
    }
    ::close(devNull);
    EXPECT_GT(interrupted, 0);
}

// The report names each skipped entry with its reason and the failed call's
// error, control characters and bytes that are not UTF-8 escaped, so no name
// reaches the terminal raw. Which entries the scan skips is its own tests' job.
TEST_F(CliFault, SkippedEntriesAreReportedEscaped) {
    const std::string t = Tree();
    WriteFile(t + "/a.txt", "x");
    WriteFile(t + "/tab\tname", "x");
    ASSERT_EQ(::symlink("nowhere", (t + "/esc\x1b[2J\x9b").c_str()), 0);

    const CliResult r = RunCli({"-q", "-o", "-", t, dir / "gone"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(t + "/a.txt", 1, 1));
    const std::string skipped[] = {
        t + "/tab\\x09name: 名前にタブまたは改行が含まれています",
        t + "/esc\\x1B[2J\\x9B: リンク先がありません (" + zel::ErrorText(ENOENT) + ")",
        dir / "gone: 見つかりません (" + zel::ErrorText(ENOENT) + ")",
    };
    EXPECT_EQ(r.err.find_first_of("\x1b\t"), std::string::npos);
    EXPECT_NE(r.err.find("3 件の項目"), std::string::npos);
    for (const std::string& entry : skipped)
        EXPECT_NE(r.err.find("  " + entry + "\n"), std::string::npos) << entry << "\n" << r.err;
}

// A broken profile and a presets file too large to read fall back to the
// defaults, and the command line never rewrites either.
TEST_F(CliFault, BrokenConfigurationFilesFallBackToTheDefaults) {
    MakeSparseFile(Tree() + "/k.jpg", 5);
    const std::string config = dir / "config";
    MakeDir(config);
    const std::string presets = config + "/ImportSettings.xml", profile = config + "/Corvelin.ini";
    const std::string binary("\x00\xff[\x01General\x00]\r\xfe=\x80\n\x00", 14);
    WriteFile(profile, binary);
    MakeSparseFile(presets, 100ull << 20);
    const CliResult r =
        RunCli({"-q", "-p", "all files", "--config-dir", config, "-o", "-", Tree()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(Tree() + "/k.jpg", 5, 1));
    EXPECT_EQ(ReadFile(profile), binary);
    EXPECT_EQ(std::filesystem::file_size(presets), 100ull << 20);
    EXPECT_EQ(FolderNames(config), "Corvelin.ini|ImportSettings.xml");
}

}  // namespace
