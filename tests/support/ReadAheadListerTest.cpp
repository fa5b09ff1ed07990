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
    // (ready slots, readers); several readers race, so repeat those.
    const std::pair<size_t, size_t> configs[] = {{1, 1}, {3, 1}, {64, 1}, {4, 3}};
    for (const auto& [maxReady, readers] : configs) {
        for (int round = 0; round < (readers > 1 ? 20 : 1); ++round) {
            FaultyFileSystem fs;
            std::vector<std::string> seen;
            {
                zel::ReadAheadLister lister(fs, maxReady, readers);
                Walk(lister, fs, dir.Path(), seen);
            }
            EXPECT_EQ(seen.size(), 162u) << maxReady;
            // One listing per folder (37) by the lister plus the walk's own
            // comparison listing: the lister listed nothing twice.
            EXPECT_EQ(fs.listCalls.load(), 2 * 37) << maxReady;
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
