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

// A link, inside a dropped folder or dropped itself, is planned with its
// target's size, so the disc must hold the target's content at the link's
// path: a regular file in the Rock Ridge tree and in the Joliet tree, which
// has no links at all. Files below a link to a folder are reached through it.
TEST_F(CliDiscTest, LinksReachTheDiscAsTheFilesTheyName) {
    const std::string data = dir / "src/data";
    for (const std::string& d : {dir / "src", data, data + "/real", dir / "outside"})
        MakeDir(d);
    WriteFile(data + "/real/t.txt", "target inside");
    WriteFile(dir / "outside/o.txt", "target outside the tree");
    ASSERT_EQ(::symlink("real/t.txt", (data + "/relative").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "outside/o.txt").c_str(), (data + "/absolute").c_str()), 0);
    ASSERT_EQ(::symlink("../../outside", (data + "/folder").c_str()), 0);
    ASSERT_EQ(::symlink("outside/o.txt", (dir / "dropped").c_str()), 0);
    const std::map<std::string, std::string> expected = {
        {"/data/real/t.txt", "target inside"},
        {"/data/relative", "target inside"},
        {"/data/absolute", "target outside the tree"},
        {"/data/folder/o.txt", "target outside the tree"},
        {"/dropped", "target outside the tree"},
    };
    const std::string lists = dir / "lists";
    const CliResult r =
        RunCli({"-q", "--graft-lists", lists, "--print-commands", data, dir / "dropped"});
    ASSERT_EQ(r.status, 0) << r.err;
    const CliResult made = RunProgram({"/bin/sh", "-c", r.out + " 2>&1"});
    ASSERT_EQ(made.status, 0) << r.out << "\n" << made.out;
    for (const std::string tree : {"any", "norock"}) {  // Rock Ridge, then Joliet
        const std::string into = dir / tree;
        const CliResult x =
            RunProgram({"xorriso", "-read_fs", tree, "-indev", lists + "/pack01.iso", "-osirrox",
                        "on", "-extract", "/", into});
        ASSERT_EQ(x.status, 0) << x.err;
        std::map<std::string, std::string> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(into)) {
            if (entry.is_directory()) continue;
            EXPECT_TRUE(entry.symlink_status().type() == std::filesystem::file_type::regular)
                << entry.path();
            found[entry.path().string().substr(into.size())] = ReadFile(entry.path());
        }
        EXPECT_EQ(found, expected) << tree;
    }
}

// Sizes up to the largest a file can have plan at once, larger ones are
// refused; a repeated record is planned once; relative paths are taken below
// the working folder; rejected paths reach the terminal escaped and cut.
TEST_F(CliDiscTest, InventoryRecordsAreTakenOnceAbsoluteAndShownSafely) {
    const std::string x = dir / "x";
    WriteFile(dir / "inventory", "1\t" + x + "/a\n" +                           // 1
                                     "9223372036854775807\t" + x + "/huge\n" +  // 2
                                     "9223372036854775808\t" + x + "/over\n" +  // 3
                                     "2\t" + x + "/a\n" +                       // 4
                                     "3\tx/relative\n" +                        // 5
                                     "bad\t/x/\x1B[31mred\x07\n" +              // 6
                                     "bad\t/x/" + std::string(1 << 20, 'l') + "\n");
    const CliResult r = RunCli({"-o", "-", "--from-list", "inventory", "--lines"}, dir.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string name : {"/a\t", "/huge\t", "/relative\t"}) {
        const size_t at = r.out.find(x + name);
        EXPECT_NE(at, std::string::npos) << name << "\n" << r.out;
        EXPECT_EQ(r.out.find(x + name, at + 1), std::string::npos) << "twice: " << name;
    }
    EXPECT_EQ(r.out.find("/over"), std::string::npos);
    for (const char* reported : {"レコード 3: ", "レコード 4: レコード 1 と同じパスです",
                                 "レコード 6: ", "/x/\\x1B[31mred\\x07", "レコード 7: "})
        EXPECT_NE(r.err.find(reported), std::string::npos) << reported << "\n" << r.err;
    EXPECT_EQ(r.err.find('\x1B'), std::string::npos);
    EXPECT_LT(r.err.size(), 4096u);
}
