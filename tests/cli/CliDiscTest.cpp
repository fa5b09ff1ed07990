// From a plan to disc images, and plans from an inventory.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "CliRunner.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// Every file in the image by its path there, with its size.
std::map<std::string, unsigned long long> FilesInImage(const std::string& image,
                                                       const std::string& into) {
    const CliResult r =
        RunProgram({"xorriso", "-osirrox", "on", "-indev", image, "-extract", "/", into});
    EXPECT_EQ(r.status, 0) << r.err;
    std::map<std::string, unsigned long long> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(into))
        if (entry.is_regular_file())
            files[entry.path().string().substr(into.size())] = entry.file_size();
    return files;
}

class CliDiscTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v xorrisofs >/dev/null && command -v xorriso >/dev/null") != 0)
            GTEST_SKIP() << "xorriso is not installed (scripts/install-deps.sh)";
    }
    TempDir dir;
};

}  // namespace

// Awkward names in both halves of a line, two dropped folders of the same name
// and many small files: packed by their bytes the images overflow the medium;
// packed against the estimate, the images the printed commands build fit it and
// hold every file once at its path.
TEST_F(CliDiscTest, ImagesBuiltFromTheListsHoldEveryFileAndFitTheMedium) {
    const std::string one = dir / "one/data";
    const std::string two = dir / "two/data";
    for (const std::string& d : {dir / "one", one, one + "/sub", dir / "two", two})
        MakeDir(d);
    std::map<std::string, unsigned long long> files = {
        {"/data/a=b", 1000},
        {"/data/back\\slash", 1200},
        {"/data/ lead and trail ", 900},
        {"/data/日本語 ファイル.txt", 1500},
        {"/data/bad\xff\xfename", 700},
        {"/data/sub/x\\=y", 1100},
        {"/data~2/a=b", 1300},
    };
    for (int i = 0; i < 400; ++i)
        files["/data/small file " + std::to_string(i)] = 3 + i % 50;
    for (const auto& [disc, size] : files) {
        const bool second = disc.rfind("/data~2/", 0) == 0;
        MakeSparseFile((second ? two : one) + disc.substr(second ? 7 : 5), size);
    }
    const long long medium = 1000000;
    const CliResult bytes = RunCli({"-s", std::to_string(medium), one, two});
    ASSERT_EQ(bytes.status, 0) << bytes.err;
    EXPECT_NE(bytes.out.find("警告: パック 1 のイメージ"), std::string::npos) << bytes.out;

    const std::string lists = dir / "lists";
    const CliResult r = RunCli({"-s", std::to_string(medium), "--fit-image", "-q", "--graft-lists",
                                lists, "--print-commands", one, two});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream commands(r.out);
    std::map<std::string, unsigned long long> burned;
    int packs = 0;
    for (std::string command; std::getline(commands, command);) {
        char pack[32];
        std::snprintf(pack, sizeof pack, "/pack%02d", ++packs);
        const CliResult made = RunProgram({"/bin/sh", "-c", command + " 2>&1"});
        ASSERT_EQ(made.status, 0) << command << "\n" << made.out;
        EXPECT_LE(std::filesystem::file_size(lists + pack + ".iso"), medium) << pack;
        for (const auto& [path, size] : FilesInImage(lists + pack + ".iso", dir / pack))
            EXPECT_TRUE(burned.emplace(path, size).second) << "twice: " << path;
    }
    EXPECT_GE(packs, 2) << r.out;
    EXPECT_EQ(burned, files);
}

// An inventory is read NUL-separated, or by lines with --lines; a bad record is
// reported by its number. The reader's tests hold the tree it builds to the scan's.
TEST_F(CliDiscTest, InventoriesArePlannedWithoutAScan) {
    WriteFile(dir / "nul", std::string("5\t/x/a") + '\0' + "7\t/x/c");
    WriteFile(dir / "lines", "5\t/x/a\nfive\t/x/b\n7\t/x/c\n");
    const std::string planned = "/x/a\t5\t\t1\t\r\n/x/c\t7\t\t1\t\r\n";
    const CliResult nul = RunCli({"-q", "-o", "-", "--from-list", dir / "nul"});
    EXPECT_EQ(nul.out, planned) << nul.err;
    const CliResult lines = RunCli({"-q", "-o", "-", "--from-list", dir / "lines", "--lines"});
    EXPECT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(lines.out, planned);
    EXPECT_NE(lines.err.find("レコード 2"), std::string::npos) << lines.err;
}
