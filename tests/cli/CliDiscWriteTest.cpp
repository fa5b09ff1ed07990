// Writing a plan to verified images, checking them later, going on with a set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "CliRunner.h"
#include "TestSupport.h"
#include "disc/ImageLayout.h"

using namespace testing_support;

namespace {

CliResult Cli(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), CORVELIN_CLI_PATH);
    return RunProgram(args, {"XDG_DATA_HOME=" + dir / "data"});
}

std::string OnlySetFile(const TempDir& dir) {
    std::string found;
    for (const auto& entry :
         std::filesystem::directory_iterator(dir / "data/Tessoly/Corvelin/sets")) {
        EXPECT_TRUE(found.empty());
        found = entry.path().string();
    }
    return found;
}

TEST(CliDiscWrite, WritesVerifiedImagesThatAreCheckedLaterAndGoesOnWithTheSet) {
    TempDir dir;
    MakeDir(dir / "src");
    WriteFile(dir / "src/big.bin", std::string(1500000, 'b'));
    WriteFile(dir / "src/small a=b.txt", std::string(1200000, 's'));
    // The profile asks for xorriso's MD5 records when the command line does not.
    MakeDir(dir / "config");
    WriteFile(dir / "config/Corvelin.ini", "[General]\nRECORD_MD5=1\n");
    CliResult r = Cli(dir, {"-q", "--config-dir", dir / "config", "-s", "2M", dir / "src",
                            "--write-images", dir / "img"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::system(("xorriso -no_rc -md5 on -indev stdio:" + dir / "img/pack01.iso" +
                           " -check_md5_r FAILURE / -- 2>&1 | grep -q 'checksums match'")
                              .c_str()),
              0);
    const std::string setFile = OnlySetFile(dir);
    std::ifstream in(setFile);
    const std::string setText((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(setText.find("PACK\t2\tPACK_02\tverified"), std::string::npos) << setText;
    // The written set is in the catalog; another catalog reads it from an image.
    for (const std::string& cat : {std::string(), dir / "other.sqlite"}) {
        std::vector<std::string> find = {"--find", "small a="};
        if (!cat.empty()) {
            ASSERT_EQ(Cli(dir, {"--catalog", cat, "--catalog-add", dir / "img/pack01.iso"}).status,
                      0);
            find.insert(find.begin(), {"--catalog", cat});
        }
        r = Cli(dir, find);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("\tPACK_02\t"), std::string::npos) << r.out;
    }
    // A plan the user chooses to record, without writing it.
    r = Cli(dir, {"-q", "-s", "2M", dir / "src", "-o", dir / "plan.tsv", "--record-set", "計画",
                  "--catalog", dir / "plan.sqlite"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli(dir, {"--catalog", dir / "plan.sqlite", "--catalog-list"});
    EXPECT_NE(r.out.find("\t計画\t"), std::string::npos) << r.out;

    r = Cli(dir, {"--verify", dir / "img/pack02.iso"});
    EXPECT_EQ(r.status, 0) << r.err;
    ImageLayout layout;
    std::string error;
    ASSERT_TRUE(layout.Load(dir / "img/pack02.iso", error));
    const ImageFileLayout* file = layout.Find("src/small a=b.txt");
    ASSERT_NE(file, nullptr);
    {
        std::fstream image(dir / "img/pack02.iso", std::ios::in | std::ios::out | std::ios::binary);
        image.seekp(static_cast<std::streamoff>(file->extents[0].block * 2048 + 100));
        image.put('#');
    }
    r = Cli(dir, {"--verify", dir / "img/pack02.iso"});
    EXPECT_EQ(r.status, 8 + 2);
    EXPECT_NE(r.out.find("/src/small a=b.txt"), std::string::npos) << r.out;

    // Nothing is left to write: going on with the set writes nothing.
    r = Cli(dir, {"--set", setFile, "--write-images", dir / "again"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir / "again"));
    EXPECT_EQ(Cli(dir, {"--set", setFile}).status, 2);
}

// A file that acts as a drive: the first disc is written on Enter, the
// prompt for the second meets the end of the input and stops the run.
TEST(CliDiscWrite, ADriveAsksForEachDiscOnStandardError) {
    TempDir dir;
    MakeDir(dir / "src");
    WriteFile(dir / "src/one.bin", std::string(1500000, '1'));
    WriteFile(dir / "src/two.bin", std::string(1200000, '2'));
    WriteFile(dir / "drive", "");
    const CliResult r = RunProgram(
        {"/bin/sh", "-c", "printf '\\n' | exec \"$0\" -q -s 2M --write-disc stdio:\"$1\" \"$2\"",
         CORVELIN_CLI_PATH, dir / "drive", dir / "src"},
        {"XDG_DATA_HOME=" + dir / "data"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("パック 1 / 2: 空のディスクを入れて"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("パック 2 / 2: 空のディスクを入れて"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--set "), std::string::npos) << r.err;
    EXPECT_EQ(Cli(dir, {"-q", "--verify", "stdio:" + dir / "drive"}).status, 0);
}

// The folders of the command line first, then the one typed on the terminal;
// each can be checked on its own afterwards.
TEST(CliDiscWrite, FoldersFromTheCommandLineThenFromTheTerminal) {
    TempDir dir;
    MakeDir(dir / "src");
    WriteFile(dir / "src/one.bin", std::string(1500000, '1'));
    WriteFile(dir / "src/two.bin", std::string(1200000, '2'));
    MakeDir(dir / "d1");
    MakeDir(dir / "d2");
    const CliResult r = RunProgram({"/bin/sh", "-c",
                                    "printf '%s\\n' \"$2\" | exec \"$0\" -q -s 2M "
                                    "--write-folders \"$1\" \"$3\"",
                                    CORVELIN_CLI_PATH, dir / "d1", dir / "d2", dir / "src"},
                                   {"XDG_DATA_HOME=" + dir / "data"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("パック 2 / 2: コピー先のフォルダ"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(dir / "d2/src/two.bin"), std::string(1200000, '2'));
    EXPECT_EQ(Cli(dir, {"-q", "--verify", dir / "d1"}).status, 0);
    WriteFile(dir / "d2/src/two.bin", "changed");
    EXPECT_EQ(Cli(dir, {"-q", "--verify", dir / "d2"}).status, 8 + 2);
}

}  // namespace
