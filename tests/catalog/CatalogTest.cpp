#include "catalog/Catalog.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>

#include "CatalogTestSupport.h"
#include "catalog/CatalogLocation.h"
#include "catalog/CatalogSearch.h"

using catalog::Catalog;
using catalog_test::MakeSet;
using testing_support::TempDir;

namespace {

// The disk paths a search finds, in the order found.
std::vector<std::string> Find(catalog::Catalog& catalog, const std::string& text) {
    std::vector<std::string> paths;
    catalog::CatalogSearch search(catalog);
    EXPECT_TRUE(search.Run(text, [&](const catalog::CatalogHit& hit) {
        paths.push_back(hit.diskPath);
        return true;
    }));
    return paths;
}

using Paths = std::vector<std::string>;

std::string SetA() {
    return std::string(32, 'a');
}
std::string SetB() {
    return std::string(32, 'b');
}

std::string Export(Catalog& catalog) {
    std::string text;
    EXPECT_TRUE(catalog.ExportTsv([&](std::string_view piece) {
        text += piece;
        return true;
    }));
    return text;
}

TEST(CatalogTest, RecordsSetsWithTheirDiscsAndReplacesARecordOfTheSameSet) {
    TempDir dir;
    Catalog catalog;
    ASSERT_TRUE(catalog.Open(dir / "sub/catalog.sqlite")) << catalog.Error();
    EXPECT_TRUE(catalog.Notice().empty());
    ASSERT_TRUE(catalog.Record(MakeSet(SetA(), "写真", {"/p/a.jpg", "/p/b.jpg", "/p/q/c.jpg"}, 2)));
    ASSERT_TRUE(catalog.Record(MakeSet(SetB(), "B", {"/p/a.jpg"})));

    auto sets = catalog.Sets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].name, u"写真");
    EXPECT_EQ(sets[0].discCount, 2);
    EXPECT_EQ(sets[0].fileCount, 3u);
    EXPECT_EQ(sets[0].bytes, 1u + 2u + 3u);

    // Recorded again after more packs were written: one set, new contents.
    ASSERT_TRUE(catalog.Record(MakeSet(SetA(), "写真", {"/p/a.jpg"})));
    sets = catalog.Sets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[1].id, SetA());
    EXPECT_EQ(sets[1].fileCount, 1u);
    EXPECT_EQ(Find(catalog, "c.jpg"), Paths{});

    const std::string tsv = Export(catalog);
    EXPECT_NE(tsv.find("B\t" + SetB() + "\tPACK_01\t1\t/p/a.jpg\t/D/a.jpg\t1\t0\t\n"),
              std::string::npos)
        << tsv;
    EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\n'), 3);
}

TEST(CatalogTest, ASetWithAFileOnAMissingPackChangesNothing) {
    TempDir dir;
    Catalog catalog;
    ASSERT_TRUE(catalog.Open(dir / "catalog.sqlite"));
    ASSERT_TRUE(catalog.Record(MakeSet(SetA(), "A", {"/x/1"})));
    DiscSet bad = MakeSet(SetA(), "A2", {"/x/2", "/x/3"});
    bad.files.back().pack = 7;
    EXPECT_FALSE(catalog.Record(bad));
    EXPECT_NE(catalog.Error().find("7"), std::string::npos);
    bad.files.back().pack = 1;
    bad.files.back().sha256 = "not hex";
    EXPECT_FALSE(catalog.Record(bad));
    ASSERT_EQ(catalog.Sets().size(), 1u);
    EXPECT_EQ(catalog.Sets()[0].name, u"A");
    EXPECT_EQ(Find(catalog, "/x/"), Paths{"/x/1"});
}

TEST(CatalogTest, SearchFindsNamesFoldersAndTextsAcrossTheLastSlash) {
    TempDir dir;
    Catalog catalog;
    ASSERT_TRUE(catalog.Open(dir / "catalog.sqlite"));
    ASSERT_TRUE(catalog.Record(
        MakeSet(SetA(), "A",
                {"/home/u/Photos/IMG_2031.jpg", "/home/u/Photos/img_2032.JPG",
                 "/home/u/Docs/tax.pdf", "/home/u/Docs/photos.txt", "/home/u/x/100%.txt",
                 "/home/u/x/1000.txt", "/home/u/写真/旅行_77.JPG"})));
    const struct {
        const char* text;
        Paths found;
    } cases[] = {
        {"img_20", {"/home/u/Photos/IMG_2031.jpg", "/home/u/Photos/img_2032.JPG"}},
        // A name hit first, then the folder's other files, each once.
        {"photos",
         {"/home/u/Docs/photos.txt", "/home/u/Photos/IMG_2031.jpg", "/home/u/Photos/img_2032.JPG"}},
        {"docs/t", {"/home/u/Docs/tax.pdf"}},
        {"u/docs/", {"/home/u/Docs/photos.txt", "/home/u/Docs/tax.pdf"}},
        {"0%", {"/home/u/x/100%.txt"}},  // "%" is no wildcard
        {"x",
         {"/home/u/Docs/tax.pdf", "/home/u/Docs/photos.txt", "/home/u/x/100%.txt",
          "/home/u/x/1000.txt"}},
        {"nothing", {}},
        // Beyond ASCII: too short for the index, and mixed with letters of either case.
        {"写真", {"/home/u/写真/旅行_77.JPG"}},
        {"行_77.jpg", {"/home/u/写真/旅行_77.JPG"}},
        {"s/t", {"/home/u/Docs/tax.pdf"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Find(catalog, c.text), c.found) << c.text;

    // The first hits arrive without the rest: the search stops when asked.
    int calls = 0;
    catalog::CatalogSearch search(catalog);
    EXPECT_TRUE(search.Run("home", [&](const catalog::CatalogHit&) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
}

TEST(CatalogTest, RemovingAndRenamingASetLeaveTheOthers) {
    TempDir dir;
    Catalog catalog;
    ASSERT_TRUE(catalog.Open(dir / "catalog.sqlite"));
    ASSERT_TRUE(catalog.Record(MakeSet(SetA(), "A", {"/only/a/f1", "/shared/f2"})));
    ASSERT_TRUE(catalog.Record(MakeSet(SetB(), "B", {"/shared/f3"})));
    ASSERT_TRUE(catalog.RenameSet(SetB(), u"新しい名前"));
    EXPECT_EQ(catalog.FindSetIds(u"新しい名前"), std::vector<std::string>{SetB()});
    ASSERT_TRUE(catalog.RemoveSet(SetA()));
    EXPECT_FALSE(catalog.RemoveSet(SetA()));
    EXPECT_FALSE(catalog.RenameSet(SetA(), u"x"));
    EXPECT_EQ(Find(catalog, "only"), Paths{});
    EXPECT_EQ(Find(catalog, "shared"), Paths{"/shared/f3"});
    EXPECT_EQ(catalog.Db().QueryInt("SELECT count(*) FROM folders"), 1);
    EXPECT_EQ(catalog.Db().QueryInt("SELECT count(*) FROM disc_folders"), 1);
    catalog::SqliteStatement check(catalog.Db(), "PRAGMA integrity_check");
    ASSERT_TRUE(check.Step());
    EXPECT_EQ(check.Text(0), "ok");
    EXPECT_TRUE(catalog.Db().Exec("INSERT INTO name_index(name_index) VALUES('integrity-check')"));
}

// A catalog of the first version gains the name chunks that short texts read:
// they find what the files hold, past the first chunk, and only that after a
// set is removed and another takes its row ids.
TEST(CatalogTest, AFirstVersionCatalogIsMigratedAndFindsShortTexts) {
    TempDir dir;
    const std::string path = dir / "catalog.sqlite";
    std::vector<std::string> many;
    for (int i = 0; i < 3000; ++i)
        many.push_back("/m/f" + std::to_string(i));
    many[2500] = "/m/Zq.txt";
    {
        Catalog catalog;
        ASSERT_TRUE(catalog.Open(path));
        ASSERT_TRUE(catalog.Record(MakeSet(SetA(), "A", many)));
        ASSERT_TRUE(catalog.Record(MakeSet(SetB(), "B", {"/b/q1", "/b/x"})));
        // What the first version left.
        ASSERT_TRUE(catalog.Db().Exec("DROP TABLE name_chunks; PRAGMA user_version = 1"));
    }
    Catalog catalog;
    ASSERT_TRUE(catalog.Open(path)) << catalog.Error();
    EXPECT_TRUE(catalog.Notice().empty());
    EXPECT_EQ(catalog.Db().QueryInt("PRAGMA user_version"), Catalog::kSchemaVersion);
    EXPECT_EQ(Find(catalog, "q"), (Paths{"/m/Zq.txt", "/b/q1"}));
    EXPECT_EQ(Find(catalog, "/z"), Paths{"/m/Zq.txt"});
    ASSERT_TRUE(catalog.RemoveSet(SetB()));
    ASSERT_TRUE(catalog.Record(MakeSet(std::string(32, 'c'), "C", {"/c/y1", "/c/y2"})));
    EXPECT_EQ(Find(catalog, "q"), Paths{"/m/Zq.txt"});
    EXPECT_EQ(Find(catalog, "y"), (Paths{"/c/y1", "/c/y2"}));
}

// Recording pack by pack, as a writing run does, ends where one recording of
// the finished set does; a set whose files changed since is recorded whole.
TEST(CatalogTest, RecordingPackByPackEqualsRecordingTheWholeSet) {
    TempDir dir;
    Catalog byPack;
    Catalog whole;
    ASSERT_TRUE(byPack.Open(dir / "packs.sqlite"));
    ASSERT_TRUE(whole.Open(dir / "whole.sqlite"));
    DiscSet set = MakeSet(SetA(), "A", {"/p/1", "/p/2", "/p/3", "/p/4", "/p/5"}, 3);
    for (DiscSetPack& pack : set.packs) {
        pack.state = DiscPackState::Planned;
        pack.writtenAt = 0;
    }
    for (DiscSetPack& pack : set.packs) {
        for (DiscSetFile& file : set.files) {
            if (file.pack == pack.number) {
                file.sha256 = std::string(64, static_cast<char>('0' + pack.number));
            }
        }
        pack.state = DiscPackState::Written;
        pack.writtenAt = 100 + pack.number;
        ASSERT_TRUE(byPack.RecordPack(set, pack.number)) << byPack.Error();
        pack.state = pack.number == 2 ? DiscPackState::Failed : DiscPackState::Verified;
        pack.verifiedAt = 200 + pack.number;
        ASSERT_TRUE(byPack.RecordPack(set, pack.number)) << byPack.Error();
    }
    const auto discs = [](Catalog& catalog) {
        std::string text;
        for (const catalog::CatalogDiscInfo& disc : catalog.Discs()) {
            text += std::to_string(disc.number) + " " + std::to_string(int(disc.state)) + " " +
                    std::to_string(disc.writtenAt) + " " + std::to_string(disc.verifiedAt) + "\n";
        }
        return text;
    };
    ASSERT_TRUE(whole.Record(set));
    EXPECT_EQ(Export(byPack), Export(whole));
    EXPECT_EQ(discs(byPack), discs(whole));
    EXPECT_EQ(Find(byPack, "4"), Paths{"/p/4"});

    set.files.pop_back();
    ASSERT_TRUE(byPack.RecordPack(set, 1));
    ASSERT_TRUE(whole.Record(set));
    EXPECT_EQ(Export(byPack), Export(whole));
    EXPECT_EQ(byPack.Sets().at(0).fileCount, 4u);
}

TEST(CatalogTest, AnUnusableFileIsKeptAsideAndAFreshCatalogMade) {
    const struct {
        const char* what;
        void (*make)(const std::string& path);
    } cases[] = {
        {"garbage",
         [](const std::string& p) { testing_support::WriteFile(p, std::string(5000, 'x')); }},
        {"newer",
         [](const std::string& p) {
             Catalog newer;
             ASSERT_TRUE(newer.Open(p));
             ASSERT_TRUE(newer.Db().Exec("PRAGMA user_version = 99"));
         }},
        {"foreign",
         [](const std::string& p) {
             catalog::SqliteDb db;
             ASSERT_TRUE(db.Open(p, true));
             ASSERT_TRUE(db.Exec("CREATE TABLE t(x)"));
         }},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir / "catalog.sqlite";
        c.make(path);
        const std::string before = testing_support::ReadFile(path);
        Catalog catalog;
        ASSERT_TRUE(catalog.Open(path)) << c.what << ": " << catalog.Error();
        EXPECT_NE(catalog.Notice().find("catalog.sqlite.old-"), std::string::npos) << c.what;
        EXPECT_TRUE(catalog.Record(MakeSet(SetA(), "A", {"/a"}))) << c.what;
        int kept = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            const std::string name = entry.path().filename();
            if (name.find(".old-") != std::string::npos && name.find("-wal") == std::string::npos) {
                ++kept;
                EXPECT_EQ(testing_support::ReadFile(entry.path()), before) << c.what;
            }
        }
        EXPECT_EQ(kept, 1) << c.what;
    }
}

// A writer killed in the middle of recording leaves the catalog as it was;
// another writer waits for the lock instead of failing.
TEST(CatalogTest, AKilledWriterLeavesTheCatalogAsItWasAndTwoWritersTakeTurns) {
    TempDir dir;
    const std::string path = dir / "catalog.sqlite";
    {
        Catalog catalog;
        ASSERT_TRUE(catalog.Open(path));
        ASSERT_TRUE(catalog.Record(MakeSet(SetA(), "A", {"/keep/me"})));
    }
    Paths many;
    for (int i = 0; i < 50000; ++i) {
        many.push_back("/big/d" + std::to_string(i % 500) + "/f" + std::to_string(i));
    }
    const pid_t child = fork();
    if (child == 0) {
        Catalog writer;
        if (!writer.Open(path)) _exit(1);
        // A small cache spills pages into the journal long before the commit;
        // the process dies from inside the recording.
        (void)writer.Db().Exec("PRAGMA cache_size = 20");
        static int steps = 0;
        sqlite3_progress_handler(
            writer.Db().Handle(), 1000,
            [](void*) {
                if (++steps == 2000) raise(SIGKILL);
                return 0;
            },
            nullptr);
        _exit(writer.Record(MakeSet(SetB(), "B", many)) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer finished before it was killed";
    EXPECT_GT(std::filesystem::file_size(path + "-wal"), 100000u);

    Catalog catalog;
    ASSERT_TRUE(catalog.Open(path));
    ASSERT_EQ(catalog.Sets().size(), 1u);
    EXPECT_EQ(Find(catalog, "keep"), Paths{"/keep/me"});

    // Two processes record at once; both sets arrive.
    const pid_t other = fork();
    if (other == 0) {
        Catalog writer;
        _exit(writer.Open(path) && writer.Record(MakeSet(std::string(32, 'c'), "C", many)) ? 0 : 1);
    }
    EXPECT_TRUE(catalog.Record(MakeSet(std::string(32, 'd'), "D", many)));
    waitpid(other, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(catalog.Sets().size(), 3u);
}

TEST(CatalogTest, TheCatalogLivesBesideAProfileKeptBesideTheProgram) {
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(catalog::CatalogPath("/opt/corvelin", "/home/u/.config/Tessoly/Corvelin"),
              "/opt/corvelin/catalog.sqlite");
    EXPECT_EQ(catalog::CatalogPath("/home/u/.config/Tessoly/Corvelin",
                                   "/home/u/.config/Tessoly/Corvelin"),
              "/data/Tessoly/Corvelin/catalog.sqlite");
    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(catalog::CatalogPath("", ""), "/home/u/.local/share/Tessoly/Corvelin/catalog.sqlite");
    unsetenv("XDG_DATA_HOME");
}

}  // namespace
