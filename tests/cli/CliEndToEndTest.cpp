#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "CliRunner.h"
#include "TestSupport.h"

using testing_support::CliResult;
using testing_support::MakeDir;
using testing_support::MakeSparseFile;
using testing_support::ReadFile;
using testing_support::RunCli;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

std::string Line(const std::string& path, unsigned long long size, const std::string& group,
                 int pack) {
    return path + "\t" + std::to_string(size) + "\t" + group + "\t" + std::to_string(pack) +
           "\t\r\n";
}

class CliTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string Tree() const { return dir / "tree"; }
    void SetUp() override { MakeDir(Tree()); }
};

}  // namespace

TEST_F(CliTest, PacksAndExportsByteExactWithSummary) {
    MakeSparseFile(Tree() + "/a.bin", 600);
    MakeSparseFile(Tree() + "/b.bin", 400);
    MakeSparseFile(Tree() + "/c.bin", 300);
    const std::string out = dir / "out.csv";
    const CliResult r = RunCli({"-s", "1000", "-o", out, Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    // 600 opens pack 1, 400 does not fit beside it (strictly less than 1000), 300 does.
    EXPECT_EQ(ReadFile(out), Line(Tree() + "/a.bin", 600, "", 1) +
                                 Line(Tree() + "/c.bin", 300, "", 1) +
                                 Line(Tree() + "/b.bin", 400, "", 2));
    EXPECT_NE(r.out.find("90.0%"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("40.0%"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("合計: 2 パック"), std::string::npos) << r.out;
}

TEST_F(CliTest, SizeNamesFillRateAndInvalidSizes) {
    MakeSparseFile(Tree() + "/big.iso", 3'000'000'000ULL);
    MakeSparseFile(Tree() + "/mid.iso", 1'500'000'000ULL);
    const std::string out = dir / "out.csv";

    // DVD(4.7GB) is the default: both fit one pack (4.5e9 < 4.7e9).
    CliResult r = RunCli({"-q", "-o", out, Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFile(out).find("\t2\t\r\n"), std::string::npos);

    // 90% of 4,700,000,000 is 4,230,000,000: now they need two packs.
    r = RunCli({"-q", "-s", "DVD(4.7GB)", "-r", "90%", "-o", out, Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadFile(out).find("\t2\t\r\n"), std::string::npos);

    // A fill rate without digits gives a working size of 0: one pack per file.
    r = RunCli({"-q", "-s", "4700M", "-r", "abc", "-o", out, Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadFile(out).find("\t2\t\r\n"), std::string::npos);

    for (const char* bad :
         {"4.7G", "0700M", "M", "-5M", "4700X", "99999999999999999999", "20000000000G"}) {
        r = RunCli({"-s", bad, Tree()});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("パックサイズに正しい値を入力してください"), std::string::npos);
    }
}

TEST_F(CliTest, ExportToStandardOutputPutsSummaryOnStandardError) {
    MakeSparseFile(Tree() + "/x.dat", 10);
    const CliResult r = RunCli({"-o", "-", Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(Tree() + "/x.dat", 10, "", 1));
    EXPECT_NE(r.err.find("合計: 1 パック"), std::string::npos) << r.err;
}

TEST_F(CliTest, ExportReplacesFilesButWritesThroughLinksAndNeverLosesOldContents) {
    MakeSparseFile(Tree() + "/x.dat", 10);
    const std::string out = dir / "out.csv";
    WriteFile(out, "old contents that are longer than the export\n");
    ASSERT_EQ(RunCli({"-q", "-o", out, Tree()}).status, 0);
    EXPECT_EQ(ReadFile(out), Line(Tree() + "/x.dat", 10, "", 1));

    // A link to a file is written through and stays a link.
    const std::string target = dir / "target.csv";
    const std::string link = dir / "link.csv";
    WriteFile(target, "old");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(RunCli({"-q", "-o", link, Tree()}).status, 0);
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(target), Line(Tree() + "/x.dat", 10, "", 1));

    // Targets that cannot be written: status 1, a message naming the path, nothing lost.
    const std::string folderTarget = dir / "a-folder";
    MakeDir(folderTarget);
    CliResult r = RunCli({"-q", "-o", folderTarget, Tree()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(folderTarget), std::string::npos) << r.err;
    r = RunCli({"-q", "-o", out + "/below-a-file.csv", Tree()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadFile(out), Line(Tree() + "/x.dat", 10, "", 1));
    r = RunCli({"-q", "-o", dir / "missing/out.csv", Tree()});
    EXPECT_EQ(r.status, 1);
}

TEST_F(CliTest, JapaneseNamesHugeSparseFilesLinksAndSkippedEntries) {
    MakeDir(Tree() + "/写真");
    MakeSparseFile(Tree() + "/写真/夏の旅行.jpg", 5'000'000'000ULL);
    MakeSparseFile(Tree() + "/plain.txt", 20);
    ASSERT_EQ(symlink((Tree() + "/plain.txt").c_str(), (Tree() + "/link-to-plain").c_str()), 0);
    ASSERT_EQ(symlink((Tree() + "/nowhere").c_str(), (Tree() + "/dangling").c_str()), 0);
    ASSERT_EQ(symlink(Tree().c_str(), (Tree() + "/loop").c_str()), 0);
    ASSERT_EQ(mkfifo((Tree() + "/fifo").c_str(), 0644), 0);
    MakeSparseFile(Tree() + "/tab\there.txt", 1);

    const std::string out = dir / "out.csv";
    const CliResult r = RunCli({"-q", "-s", "25000M", "-o", out, Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string exported = ReadFile(out);
    EXPECT_NE(exported.find(Tree() + "/写真/夏の旅行.jpg\t5000000000\t\t1\t\r\n"),
              std::string::npos)
        << exported;
    EXPECT_NE(exported.find(Tree() + "/link-to-plain\t20\t"), std::string::npos);
    EXPECT_EQ(exported.find("dangling"), std::string::npos);
    EXPECT_EQ(exported.find("fifo"), std::string::npos);
    EXPECT_EQ(exported.find("tab"), std::string::npos);

    // Every skipped entry is reported with its path.
    EXPECT_NE(r.err.find("4 件"), std::string::npos) << r.err;
    for (const char* name : {"/dangling", "/loop", "/fifo", "/tab\there.txt"}) {
        EXPECT_NE(r.err.find(Tree() + name), std::string::npos) << name << "\n" << r.err;
    }
}

TEST_F(CliTest, NothingFoundStillSucceedsWithAnEmptyExport) {
    MakeDir(Tree() + "/empty");
    const std::string out = dir / "out.csv";
    const CliResult r = RunCli({"-o", out, Tree() + "/empty", dir / "does-not-exist"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(out), "");
    EXPECT_NE(r.out.find("合計: 0 パック"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("does-not-exist"), std::string::npos) << r.err;
}

TEST_F(CliTest, RelativePathsAreMadeAbsoluteInDropOrder) {
    MakeSparseFile(Tree() + "/b.txt", 5);
    MakeSparseFile(Tree() + "/a.txt", 5);
    const CliResult r = RunCli({"-q", "-s", "7", "-o", "-", "./b.txt", "a.txt/"}, Tree());
    ASSERT_EQ(r.status, 0) << r.err;
    // Equal sizes keep drop order: b opens pack 1, a opens pack 2.
    EXPECT_EQ(r.out, Line(Tree() + "/b.txt", 5, "", 1) + Line(Tree() + "/a.txt", 5, "", 2));
}

TEST_F(CliTest, FiltersPresetsAndProfileFromTheConfigFolder) {
    MakeSparseFile(Tree() + "/keep.jpg", 5);
    MakeSparseFile(Tree() + "/skip.txt", 5);
    MakeSparseFile(Tree() + "/KEEP2.JPG", 5);
    const std::string config = dir / "config";
    MakeDir(config);
    WriteFile(
        config + "/ImportSettings.xml",
        "<ImportSettings>\r\nName=\"写真だけ\"\r\nAutoGroup=0\r\n<InputFilter>\r\n<Filter>\r\n"
        "type=filename\r\nstring=\"*.jpg\"\r\nnocase=1\r\n</Filter>\r\n</InputFilter>\r\n"
        "<IgnoreFilter>\r\n</IgnoreFilter>\r\n</ImportSettings>\r\n\r\n");
    WriteFile(config + "/Corvelin.ini",
              "[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1]\nName=Tiny\nSize=12\n");

    CliResult r =
        RunCli({"-q", "--config-dir", config, "-p", "写真だけ", "-s", "Tiny", "-o", "-", Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("skip.txt"), std::string::npos);
    EXPECT_NE(r.out.find("keep.jpg"), std::string::npos);
    EXPECT_NE(r.out.find("KEEP2.JPG"), std::string::npos);

    // The profile's own list replaces the defaults: "DVD(4.7GB)" is no longer registered.
    r = RunCli({"-q", "--config-dir", config, Tree()});
    EXPECT_EQ(r.status, 2);

    r = RunCli({"-q", "--config-dir", config, "-p", "no such preset", "-s", "Tiny", Tree()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no such preset"), std::string::npos);

    r = RunCli(
        {"-q", "--input", "*.txt", "--input", "*.jpg", "--ignore", "keep*", "-o", "-", Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("skip.txt"), std::string::npos);
    EXPECT_EQ(r.out.find("keep.jpg"), std::string::npos);
    EXPECT_EQ(r.out.find("KEEP2.JPG"), std::string::npos);  // ignore patterns fold case too
}

TEST_F(CliTest, AutoGroupKeepsSimilarNamesTogether) {
    MakeSparseFile(Tree() + "/photo001.jpg", 600);
    MakeSparseFile(Tree() + "/photo002.jpg", 300);
    MakeSparseFile(Tree() + "/notes.txt", 200);
    CliResult r = RunCli({"-q", "--auto-group", "-s", "1000", "-o", "-", Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(Tree() + "/photo001.jpg", 600, "1", 1) +
                         Line(Tree() + "/photo002.jpg", 300, "1", 1) +
                         Line(Tree() + "/notes.txt", 200, "", 2));
}

TEST(CliUsage, HelpVersionAndBadWords) {
    CliResult r = RunCli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--export"), std::string::npos);
    r = RunCli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("corvelin-cli ", 0), 0u);
    EXPECT_EQ(RunCli({}).status, 2);
    EXPECT_EQ(RunCli({"--no-such-option", "/tmp"}).status, 2);
    EXPECT_EQ(RunCli({"/tmp", "-s"}).status, 2);
    // "--" ends the options: a path that looks like an option is still a path.
    r = RunCli({"-q", "--", "--not-an-option"});
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(CliTest, ExportToStandardOutputAppendsWhereTheShellSaysSo) {
    MakeSparseFile(Tree() + "/x.dat", 10);
    const std::string log = dir / "log.txt";
    WriteFile(log, "earlier line\n");
    // Reopening /dev/stdout would truncate a file the shell opened for appending.
    const std::string command =
        std::string("'") + CORVELIN_CLI_PATH + "' -q -o - '" + Tree() + "' >> '" + log + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(log), "earlier line\n" + Line(Tree() + "/x.dat", 10, "", 1));
}
