#include "support/ReadAheadLister.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "support/FaultyFileSystem.h"

using namespace testing_support;

namespace {

std::vector<std::string> Names(const std::vector<zel::DirEntry>& entries) {
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.name);
    return names;
}

// A depth-first walk that announces each folder's subfolders as the scan does.
void Walk(zel::ReadAheadLister& lister, zel::IFileSystem& fs, const std::string& folder,
          std::vector<std::string>& seen) {
    std::vector<zel::DirEntry> entries;
    ASSERT_EQ(lister.List(folder, entries), 0) << folder;
    std::vector<zel::DirEntry> direct;
    ASSERT_EQ(fs.ListFolder(folder, direct), 0);
    EXPECT_EQ(Names(entries), Names(direct)) << folder;
    std::vector<std::string> subfolders;
    for (const auto& e : entries) {
        seen.push_back(folder + "/" + e.name);
        if (e.statError == 0 && e.stat.kind == zel::FileKind::Directory) {
            subfolders.push_back(folder + "/" + e.name);
        }
    }
    lister.Announce(subfolders);
    for (const auto& sub : subfolders)
        Walk(lister, fs, sub, seen);
}

void MakeTree(const TempDir& dir) {
    for (int a = 0; a < 6; ++a) {
        const std::string level1 = dir / ("d" + std::to_string(a));
        MakeDir(level1);
        for (int b = 0; b < 5; ++b) {
            const std::string level2 = level1 + "/e" + std::to_string(b);
            MakeDir(level2);
            for (int f = 0; f < 4; ++f)
                WriteFile(level2 + "/f" + std::to_string(f), "x");
        }
        WriteFile(level1 + "/g", "y");
    }
}

}  // namespace

TEST(ReadAheadLister, AWalkSeesExactlyWhatDirectListingsGive) {
    TempDir dir;
    MakeTree(dir);
    for (size_t maxReady : {size_t{1}, size_t{3}, size_t{64}}) {
        FaultyFileSystem fs;
        std::vector<std::string> seen;
        {
            zel::ReadAheadLister lister(fs, maxReady);
            Walk(lister, fs, dir.Path(), seen);
        }
        EXPECT_EQ(seen.size(), 6u + 6u * (5 + 1) + 6u * 5 * 4) << maxReady;
        // One listing per folder by the lister (37 folders) plus the walk's own
        // direct comparison listing of each: nothing was listed twice by the lister.
        EXPECT_EQ(fs.listCalls.load(), 2 * 37) << maxReady;
    }
}

TEST(ReadAheadLister, UntakenAnnouncementsAndMissingFoldersAreHarmless) {
    TempDir dir;
    MakeTree(dir);
    FaultyFileSystem fs;
    {
        zel::ReadAheadLister lister(fs, 2);
        lister.Announce({dir / "d0", dir / "d1", dir / "d2", dir / "nope"});
        std::vector<zel::DirEntry> entries;
        EXPECT_EQ(lister.List(dir / "nope", entries), ENOENT);
        EXPECT_TRUE(entries.empty());
        EXPECT_EQ(lister.List(dir / "never-announced", entries), ENOENT);
        // Destroyed with listings still queued or ready: must not hang.
    }
}

TEST(ReadAheadLister, AnExceptionOnTheReaderReachesTheWalker) {
    TempDir dir;
    MakeTree(dir);
    FaultyFileSystem fs;
    fs.throwOn = dir / "d1";
    zel::ReadAheadLister lister(fs);
    lister.Announce({dir / "d0", dir / "d1"});
    std::vector<zel::DirEntry> entries;
    EXPECT_EQ(lister.List(dir / "d0", entries), 0);
    EXPECT_THROW(lister.List(dir / "d1", entries), std::runtime_error);
}

TEST(ReadAheadLister, SeveralReadersStillListEachFolderOnce) {
    TempDir dir;
    MakeTree(dir);
    for (int round = 0; round < 20; ++round) {
        FaultyFileSystem fs;
        std::vector<std::string> seen;
        {
            zel::ReadAheadLister lister(fs, 4, 3);
            Walk(lister, fs, dir.Path(), seen);
        }
        EXPECT_EQ(seen.size(), 162u);
        EXPECT_EQ(fs.listCalls.load(), 2 * 37);
    }
}
