// corvelin-cli as a user runs it: sizes, filters, presets and profiles, paths,
// the export to files, links and standard output.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "CliRunner.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

std::string Line(const std::string& path, unsigned long long size, int pack,
                 const std::string& group = "") {
    return path + "\t" + std::to_string(size) + "\t" + group + "\t" + std::to_string(pack) +
           "\t\r\n";
}

class CliTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string Tree() const { return dir / "tree"; }
    void SetUp() override { MakeDir(Tree()); }
};

TEST_F(CliTest, PacksExportsAndSummarises) {
    MakeSparseFile(Tree() + "/a.bin", 600);
    MakeSparseFile(Tree() + "/b.bin", 400);
    MakeSparseFile(Tree() + "/c.bin", 300);
    const std::string out = dir / "out.csv";
    WriteFile(out, "old contents that are longer than the export\n");
    CliResult r = RunCli({"-s", "1000", "-o", out, Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    // 600 opens pack 1, 400 does not fit beside it (strictly less than 1000), 300 does.
    const std::string all = Line(Tree() + "/a.bin", 600, 1) + Line(Tree() + "/c.bin", 300, 1) +
                            Line(Tree() + "/b.bin", 400, 2);
    EXPECT_EQ(ReadFile(out), all);
    EXPECT_NE(r.out.find("90.0%"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("合計: 2 パック"), std::string::npos) << r.out;

    // To standard output the summary goes to standard error; ">>" appends.
    r = RunCli({"-s", "1000", "-o", "-", Tree()});
    EXPECT_EQ(r.out, all);
    EXPECT_NE(r.err.find("合計: 2 パック"), std::string::npos) << r.err;
    WriteFile(out, "earlier\n");
    for (const char* target : {"-", "/dev/stdout"}) {
        const std::string command = std::string("'") + CORVELIN_CLI_PATH + "' -q -s 1000 -o " +
                                    target + " '" + Tree() + "' >> '" + out + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    EXPECT_EQ(ReadFile(out), "earlier\n" + all + all);

    // Nothing found still exports (an empty file) and reports what is missing.
    r = RunCli({"-q", "-o", out, dir / "does-not-exist"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(out), "");
    EXPECT_NE(r.err.find("does-not-exist"), std::string::npos) << r.err;
}

TEST_F(CliTest, SizesFillRatesAndProfiles) {
    MakeSparseFile(Tree() + "/big.iso", 3'000'000'000ULL);
    MakeSparseFile(Tree() + "/mid.iso", 1'500'000'000ULL);
    const std::string config = dir / "config";
    MakeDir(config);
    struct Case {
        std::vector<std::string> args;
        std::string profile;
        int status;
        int packs;
    };
    const Case cases[] = {
        {{}, "", 0, 1},  // DVD(4.7GB) by default: 4.5e9 < 4.7e9
        {{"-s", "DVD(4.7GB)", "-r", "90%"}, "", 0, 2},
        {{"-s", "4700M", "-r", "abc"}, "", 0, 2},  // no digits: a working size of 0
        // A profile without the default name still runs with the built-in size.
        {{}, "[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1]\nName=Tiny\nSize=12\n", 0, 1},
        {{"-s", "Tiny"}, "[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1]\nName=Tiny\nSize=12\n", 0, 2},
        {{"-s", "DVD(4.7GB)"}, "[PackInfo]\nFIRST_FLAG=0\n", 2, 0},  // asked for, not there
        {{}, "[PackInfo]\nFIRST_FL", 0, 1},
        {{"-s", "4.7G"}, "", 2, 0},
        {{"-s", "99999999999999999999"}, "", 2, 0},
        {{"-s", "20000000000G"}, "", 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile + (c.args.empty() ? "" : c.args[1]));
        WriteFile(config + "/Corvelin.ini", c.profile);
        std::vector<std::string> args = {"-q", "--config-dir", config, "-o", "-"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.push_back(Tree());
        const CliResult r = RunCli(args, {}, {"CORVELIN_DEBUG=1"});
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status != 0) {
            EXPECT_NE(r.err.find("パックサイズに正しい値を入力してください"), std::string::npos);
            continue;
        }
        EXPECT_EQ(r.out.find("\t2\t\r\n") != std::string::npos, c.packs == 2) << r.out;
        EXPECT_NE(r.err.find("PackSize: "), std::string::npos) << r.err;
    }
    const CliResult r =
        RunCli({"-q", "-r", "50%", "-o", "/dev/null", Tree()}, {}, {"CORVELIN_DEBUG=1"});
    EXPECT_NE(r.err.find("PackSize: 2350000000\n"), std::string::npos) << r.err;
}

TEST_F(CliTest, FiltersAndPresetsMatchNamesThatAreNotUtf8) {
    const std::string bad = "\xff\xfe";  // not UTF-8: kept byte for byte
    MakeSparseFile(Tree() + "/keep.jpg", 5);
    MakeSparseFile(Tree() + "/KEEP2.JPG", 5);
    MakeSparseFile(Tree() + "/skip.txt", 5);
    MakeSparseFile(Tree() + "/x" + bad + ".raw", 5);
    MakeSparseFile(Tree() + "/x" + bad + ".other", 5);
    const std::string config = dir / "config";
    MakeDir(config);
    WriteFile(config + "/ImportSettings.xml",
              "<ImportSettings>\r\nName=\"写真" + bad +
                  "\"\r\nAutoGroup=0\r\n<InputFilter>\r\n<Filter>\r\n"
                  "type=filename\r\nstring=\"*.jpg\"\r\nnocase=1\r\n</Filter>\r\n</InputFilter>\r\n"
                  "<IgnoreFilter>\r\n</IgnoreFilter>\r\n</ImportSettings>\r\n\r\n");
    CliResult r = RunCli({"-q", "--config-dir", config, "-p", "写真" + bad, "-o", "-", Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("skip.txt"), std::string::npos);
    EXPECT_NE(r.out.find("KEEP2.JPG"), std::string::npos);
    r = RunCli({"-q", "--config-dir", config, "-p", "no such", Tree()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("インポート設定が見つかりません: no such"), std::string::npos);

    r = RunCli({"-q", "--input", "*.txt", "--input", "*" + bad + "*", "--ignore", "*.other", "-o",
                "-", Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(Tree() + "/skip.txt", 5, 1) + Line(Tree() + "/x" + bad + ".raw", 5, 1));
}

TEST_F(CliTest, PathsAreMadeAbsoluteAndEmptyOrHomelessOnesRefused) {
    MakeSparseFile(Tree() + "/b.txt", 5);
    MakeSparseFile(Tree() + "/a.txt", 5);
    CliResult r = RunCli({"-q", "-s", "7", "-o", "-", "./b.txt", "a.txt/"}, Tree());
    ASSERT_EQ(r.status, 0) << r.err;
    // Equal sizes keep drop order: b opens pack 1, a opens pack 2.
    EXPECT_EQ(r.out, Line(Tree() + "/b.txt", 5, 1) + Line(Tree() + "/a.txt", 5, 2));

    EXPECT_EQ(RunCli({"-q", "-o", "-", ""}).status, 2);
    EXPECT_EQ(RunCli({"-q", "-o", "-", Tree(), ""}).status, 2);
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

TEST_F(CliTest, AutoGroupKeepsSimilarNamesTogether) {
    MakeSparseFile(Tree() + "/photo001.jpg", 600);
    MakeSparseFile(Tree() + "/photo002.jpg", 300);
    MakeSparseFile(Tree() + "/notes.txt", 200);
    const CliResult r = RunCli({"-q", "--auto-group", "-s", "1000", "-o", "-", Tree()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(Tree() + "/photo001.jpg", 600, 1, "1") +
                         Line(Tree() + "/photo002.jpg", 300, 1, "1") +
                         Line(Tree() + "/notes.txt", 200, 2));
}

TEST(CliUsage, HelpVersionAndBadWords) {
    EXPECT_NE(RunCli({"--help"}).out.find("--export"), std::string::npos);
    EXPECT_EQ(RunCli({"--version"}).out.rfind("corvelin-cli ", 0), 0u);
    for (const auto& args :
         std::vector<std::vector<std::string>>{{}, {"--no-such-option", "/tmp"}, {"/tmp", "-s"}}) {
        EXPECT_EQ(RunCli(args).status, 2);
    }
    // "--" ends the options: a path that looks like an option is still a path.
    EXPECT_EQ(RunCli({"-q", "--", "--not-an-option"}).status, 0);
}

}  // namespace
