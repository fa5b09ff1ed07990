// The catalog from the command line: recording from a disc's index, finding,
// planning only what is new, managing and exporting.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "CliRunner.h"
#include "TestSupport.h"
#include "disc/SetIndexFormat.h"

using namespace testing_support;

namespace {

int64_t MtimeNs(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
}

TEST(CliCatalogTest, ADiscsIndexIsRecordedFoundAndLeftOutOfTheNextPlan) {
    TempDir dir;
    MakeDir(dir / "tree");
    MakeDir(dir / "disc");
    MakeDir(dir / "disc/_CORVELIN");
    WriteFile(dir / "tree/IMG_1.jpg", "hello");
    WriteFile(dir / "tree/IMG_2.jpg", "world");
    WriteFile(dir / "tree/new.txt", "x");
    DiscSet set;
    set.id = std::string(32, 'e');
    set.name = u"休暇";
    set.createdAt = 1700049600;
    set.target = u"disc";
    set.packs = {{1, u"PACK_01", DiscPackState::Verified, 1700049600, 1700049600, {}}};
    set.files = {
        {1, u"/IMG_1.jpg", U(dir / "tree/IMG_1.jpg"), 5, MtimeNs(dir / "tree/IMG_1.jpg"), {}},
        {1, u"/IMG_2.jpg", U(dir / "tree/IMG_2.jpg"), 5, 1, {}}};
    WriteFile(dir / "disc/_CORVELIN/INDEX.TSV", WriteSetIndex(set, false));
    const std::string cat = dir / "c.sqlite";

    CliResult r = RunCli({"--catalog", cat, "--catalog-add", dir / "disc"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = RunCli({"--catalog", cat, "--find", "img_1"});
    EXPECT_EQ(r.out, dir / "tree/IMG_1.jpg" + "\tPACK_01\t休暇\t" + "2023-11-15\t/IMG_1.jpg\t5\n");

    // The unchanged file is left out; the one whose time differs is planned.
    r = RunCli({"--catalog", cat, "--skip-archived", "-q", "-s", "1M", "-o", "-", dir / "tree"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Line(dir / "tree/IMG_2.jpg", 5, 1) + Line(dir / "tree/new.txt", 1, 1));

    r = RunCli(
        {"--catalog", cat, "--catalog-rename", "休暇", "--new-name", "旅行", "--catalog-list"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, set.id + "\t旅行\t2023-11-15\t1\t2\t10\n");
    r = RunCli({"--catalog", cat, "--catalog-export", dir / "out.tsv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string tsv = ReadFile(dir / "out.tsv");
    EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\n'), 3);

    const struct {
        std::vector<std::string> args;
        int status;
    } refused[] = {
        {{"--catalog-remove", "休暇"}, 2},             // renamed away
        {{"--catalog-add", dir / "tree/new.txt"}, 1},  // not an index
        {{"--find", "x", dir / "tree"}, 2},            // no paths with catalog commands
        {{"--catalog-rename", "旅行"}, 2},             // without a new name
    };
    for (const auto& c : refused) {
        std::vector<std::string> args = {"--catalog", cat};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(RunCli(args).status, c.status) << c.args[0];
    }
    r = RunCli({"--catalog", cat, "--catalog-remove", set.id, "--find", "img"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

}  // namespace
