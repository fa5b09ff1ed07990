#include "support/ReadAheadLister.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "support/FaultyFileSystem.h"

using namespace testing_support;

namespace {

// A depth-first walk that enters no links and, if asked, announces each
// folder's subfolders as the scan once did.
void Walk(zel::ReadAheadLister& lister, const std::string& folder, std::vector<std::string>& seen,
          bool announce = true) {
    std::vector<zel::DirEntry> entries;
    ASSERT_EQ(lister.List(folder, entries), 0) << folder;
    std::vector<std::string> subfolders;
    for (const auto& e : entries) {
        seen.push_back(folder + "/" + e.name);
        if (e.statError == 0 && e.stat.kind == zel::FileKind::Directory && !e.isLink)
            subfolders.push_back(seen.back());
    }
    if (announce) lister.Announce(subfolders);
    for (const auto& sub : subfolders)
        Walk(lister, sub, seen, announce);
}

// 37 folders; no two hold the same names, so a listing handed to the wrong
// folder shows. Returns every path made, sorted.
std::vector<std::string> MakeTree(const TempDir& dir) {
    std::vector<std::string> made;
    const auto add = [&made](const std::string& path, bool folder) {
        folder ? MakeDir(path) : WriteFile(path, "x");
        made.push_back(path);
        return path;
    };
    for (int a = 0; a < 6; ++a) {
        const std::string d = add(dir / ("d" + std::to_string(a)), true);
        for (int b = 10 * a; b < 10 * a + 5; ++b) {
            const std::string e = add(d + "/e" + std::to_string(b), true);
            for (int f = 10 * b; f < 10 * b + 4; ++f)
                add(e + "/f" + std::to_string(f), false);
        }
        add(d + "/g" + std::to_string(a), false);
    }
    std::sort(made.begin(), made.end());
    return made;
}

}  // namespace

TEST(ReadAheadLister, AWalkSeesEachFolderOnceAndWhole) {
    TempDir dir;
    const std::vector<std::string> made = MakeTree(dir);
    // (ready slots, readers); several readers race, so repeat those.
    const std::pair<size_t, size_t> configs[] = {{1, 1}, {3, 1}, {64, 1}, {4, 3}};
    for (const auto& [maxReady, readers] : configs) {
        for (int round = 0; round < (readers > 1 ? 20 : 1); ++round) {
            FaultyFileSystem fs;
            std::vector<std::string> seen;
            {
                zel::ReadAheadLister lister(fs, maxReady, readers);
                Walk(lister, dir.Path(), seen);
            }
            std::sort(seen.begin(), seen.end());
            EXPECT_EQ(seen, made) << maxReady;
            EXPECT_EQ(fs.listCalls.load(), 37) << maxReady;  // nothing listed twice
        }
    }
}

TEST(ReadAheadLister, MissingFoldersUntakenListingsAndReaderExceptions) {
    TempDir dir;
    MakeTree(dir);
    FaultyFileSystem fs;
    fs.throwOn = dir / "d1";
    // Destroyed with listings still queued or ready: must not hang.
    zel::ReadAheadLister lister(fs, 2);
    lister.Announce({dir / "d0", dir / "d1", dir / "d2", dir / "d3", dir / "nope"});
    std::vector<zel::DirEntry> entries;
    EXPECT_EQ(lister.List(dir / "nope", entries), ENOENT);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(lister.List(dir / "never-announced", entries), ENOENT);
    EXPECT_EQ(lister.List(dir / "d0", entries), 0);
    EXPECT_THROW(lister.List(dir / "d1", entries), std::runtime_error);
}

// With a follow rule the readers find the subfolders themselves: a walk that
// never announces still gets each folder listed once, those the rule refuses
// included (the walk lists them), and a link back up ends at folders already queued.
TEST(ReadAheadLister, ListingsQueueTheirOwnSubfoldersOnce) {
    TempDir dir;
    std::vector<std::string> made = MakeTree(dir);
    ASSERT_EQ(::symlink("../..", (dir / "d0/e0/up").c_str()), 0);
    made.push_back(dir / "d0/e0/up");
    std::sort(made.begin(), made.end());
    const auto follow = [](const std::string&, const zel::DirEntry& entry) {
        return entry.name.compare(0, 2, "e1") != 0;
    };
    for (const size_t maxReady : {size_t{1}, size_t{64}}) {
        for (int round = 0; round < 20; ++round) {
            FaultyFileSystem fs;
            std::vector<std::string> seen;
            {
                zel::ReadAheadLister lister(fs, maxReady, 3, follow);
                Walk(lister, dir.Path(), seen, false);
            }
            std::sort(seen.begin(), seen.end());
            EXPECT_EQ(seen, made);
            // 37 folders once; the root once more through the link if a reader
            // got to it before the walk ended.
            EXPECT_GE(fs.listCalls.load(), 37) << maxReady;
            EXPECT_LE(fs.listCalls.load(), 38) << maxReady;
        }
    }
}
