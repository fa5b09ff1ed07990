// corvelin-cli as a user runs it.

#include <gtest/gtest.h>

#include <string>

#include "CliRunner.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

class CliTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string Tree() const { return dir / "tree"; }
    void SetUp() override { MakeDir(Tree()); }
};

TEST_F(CliTest, PacksExportsSummarisesAndGroups) {
    MakeSparseFile(Tree() + "/photo001.bin", 600);
    MakeSparseFile(Tree() + "/photo002.bin", 400);
    MakeSparseFile(Tree() + "/c.bin", 300);
    const std::string out = dir / "out.csv";
    WriteFile(out, "old contents that are longer than the export\n");
    CliResult r = RunCli({"-s", "1000", "-o", out, Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    // 600 opens pack 1, 400 does not fit beside it (strictly less than 1000), 300 does.
    const std::string all = Line(Tree() + "/c.bin", 300, 1) +
                            Line(Tree() + "/photo001.bin", 600, 1) +
                            Line(Tree() + "/photo002.bin", 400, 2);
    EXPECT_EQ(ReadFile(out), all);
    // Column for column, as scripts read it; neither image fits 1,000 bytes.
    EXPECT_EQ(
        r.out,
        "パック  ファイル数          使用バイト           サイズ  使用率       イメージ\n"
        "     1           2                 900           0.0 MB   90.0%           0.3 MB\n"
        "     2           1                 400           0.0 MB   40.0%           0.3 MB\n"
        "合計: 2 パック、3 ファイル、1,300 バイト (パックサイズ 1,000 バイト)\n"
        "警告: パック 1 のイメージ (378,880 バイト) はメディア (1,000 バイト) に収まりません\n"
        "警告: パック 2 のイメージ (376,832 バイト) はメディア (1,000 バイト) に収まりません\n");

    // To standard output the summary goes to standard error; ">>" appends.
    r = RunCli({"-s", "1000", "-o", "-", Tree()});
    EXPECT_EQ(r.out, all);
    EXPECT_NE(r.err.find("合計: 2 パック"), std::string::npos) << r.err;
    WriteFile(out, "earlier\n");
    for (const char* target : {"-", "/dev/stdout"}) {
        const std::string command = std::string("'") + CORVELIN_CLI_PATH + "' -q -s 1000 -o " +
                                    target + " '" + Tree() + "' >> '" + out + "'";
        ASSERT_EQ(RunProgram({"/bin/sh", "-c", command}).status, 0);
    }
    EXPECT_EQ(ReadFile(out), "earlier\n" + all + all);
    // Nothing found still exports: an empty file.
    EXPECT_EQ(RunCli({"-q", "-o", out, dir / "does-not-exist"}).status, 0);
    EXPECT_EQ(ReadFile(out), "");

    // Similar names are kept together: the photos share a pack, c moves out.
    r = RunCli({"-q", "--auto-group", "-s", "1001", "-o", "-", Tree()});
    EXPECT_EQ(r.out, Line(Tree() + "/photo001.bin", 600, 1, "1") +
                         Line(Tree() + "/photo002.bin", 400, 1, "1") +
                         Line(Tree() + "/c.bin", 300, 2));
}

TEST_F(CliTest, SizesFillRatesAndProfiles) {
    MakeSparseFile(Tree() + "/big.iso", 3'000'000'000ULL);
    MakeSparseFile(Tree() + "/mid.iso", 1'500'000'000ULL);
    const std::string config = dir / "config";
    MakeDir(config);
    const std::string tiny = "[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1]\nName=Tiny\nSize=12\n";
    struct Case {
        std::vector<std::string> args;
        std::string profile;
        int status, packs;
    } cases[] = {
        {{}, "", 0, 1},  // DVD(4.7GB) by default: 4.5e9 < 4.7e9
        {{"-s", "DVD(4.7GB)", "-r", "90%"}, "", 0, 2},
        {{}, tiny, 0, 1},  // a profile without the default name: the built-in size
        {{"-s", "Tiny"}, tiny, 0, 2},
        {{"-s", "DVD(4.7GB)"}, "[PackInfo]\nFIRST_FLAG=0\n", 2, 0},  // asked for, not there
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile + (c.args.empty() ? "" : c.args[1]));
        WriteFile(config + "/Corvelin.ini", c.profile);
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-q", "--config-dir", config, "-o", "-", Tree()});
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status != 0)
            EXPECT_NE(r.err.find("パックサイズに正しい値を入力してください"), std::string::npos);
        else
            EXPECT_EQ(r.out.find("\t2\t\r\n") != std::string::npos, c.packs == 2) << r.out;
    }
}

TEST_F(CliTest, FiltersPresetsAndRelativePathsKeepNamesThatAreNotUtf8) {
    const std::string bad = "\xff\xfe";  // not UTF-8: kept byte for byte
    for (const char* name : {"/keep.jpg", "/KEEP2.JPG", "/skip.txt"})
        MakeSparseFile(Tree() + name, 5);
    MakeSparseFile(Tree() + "/x" + bad + ".raw", 5);
    MakeSparseFile(Tree() + "/x" + bad + ".other", 5);
    const std::string config = dir / "config";
    MakeDir(config);
    WriteFile(config + "/ImportSettings.xml",
              "<ImportSettings>\r\nName=\"写真" + bad +
                  "\"\r\nAutoGroup=0\r\n<InputFilter>\r\n<Filter>\r\n"
                  "type=filename\r\nstring=\"*.jpg\"\r\nnocase=1\r\n</Filter>\r\n</InputFilter>\r\n"
                  "<IgnoreFilter>\r\n</IgnoreFilter>\r\n</ImportSettings>\r\n\r\n");
    CliResult r =
        RunCli({"-q", "--config-dir", config, "-p", "写真" + bad, "-o", "-", "."}, Tree());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("skip.txt"), std::string::npos);
    EXPECT_NE(r.out.find(Tree() + "/KEEP2.JPG"), std::string::npos);  // made absolute
    r = RunCli({"-q", "--config-dir", config, "-p", "no such", Tree()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("インポート設定が見つかりません: no such"), std::string::npos);

    r = RunCli({"-q", "--input", "*.txt", "--input", "*" + bad + "*", "--ignore", "*.other", "-o",
                "-", "."},
               Tree());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(Tree() + "/skip.txt", 5, 1) + Line(Tree() + "/x" + bad + ".raw", 5, 1));

    // A working folder that was deleted: "." must not become "/".
    const std::string gone = dir / "gone";
    MakeDir(gone);
    const std::string command =
        "cd '" + gone + "' && rmdir '" + gone + "' && exec '" + CORVELIN_CLI_PATH + "' -q -o - .";
    r = RunProgram({"/bin/sh", "-c", command});
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("作業フォルダ"), std::string::npos) << r.err;
}

TEST(CliUsage, HelpVersionAndBadWords) {
    EXPECT_NE(RunCli({"--help"}).out.find("--export"), std::string::npos);
    EXPECT_EQ(RunCli({"--version"}).out.rfind("corvelin-cli ", 0), 0u);
    const std::vector<std::string> badWords[] = {
        {},
        {"--no-such-option", "/tmp"},
        {"/tmp", "-s"},
        {"-q", "-o", "-", "/nonexistent", ""},
        {"--record-set", "x", "/nonexistent"},  // nothing planned to record
        {"--record-set", "x", "-o", "-", "--write-images", "/nonexistent/i", "/nonexistent"}};
    for (const auto& args : badWords)
        EXPECT_EQ(RunCli(args).status, 2);
    // "--" ends the options: a path that looks like an option is still a path.
    EXPECT_EQ(RunCli({"-q", "--", "--not-an-option"}).status, 0);
}

}  // namespace
