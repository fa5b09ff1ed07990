// Files and folders that change while the scan runs. The changes are made at a
// fixed point of the walk (when a given folder is listed), so every run sees
// the same race: what vanished is reported with its path, what grew is taken
// at the size the walk saw, and everything else is imported.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "ScanTestSupport.h"

using namespace scan_test;
using testing_support::MakeDir;
using testing_support::MakeSparseFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

std::vector<std::pair<std::string, uint64_t>> Files(const CCorvelinDoc& doc) {
    std::vector<const CPackItem*> items;
    Collect(doc.root, items);
    std::vector<std::pair<std::string, uint64_t>> files;
    for (const CPackItem* item : items) {
        if (!item->IsFolder()) files.emplace_back(PathBytes(*item), item->GetSize());
    }
    return files;
}

TEST(ScanRace, FilesAndFoldersChangedDuringTheWalk) {
    TempDir dir;
    const std::string top = dir / "top";
    MakeDir(top);
    MakeDir(top + "/a");
    MakeDir(top + "/b");
    MakeDir(top + "/c");
    MakeSparseFile(top + "/a/keep.txt", 1);
    MakeSparseFile(top + "/b/deleted.txt", 2);
    MakeSparseFile(top + "/b/grown.txt", 3);
    MakeSparseFile(top + "/b/kept.txt", 4);
    MakeSparseFile(top + "/c/gone-with-folder.txt", 5);
    const std::string dropped = dir / "dropped.txt";
    MakeSparseFile(dropped, 6);

    // Once the top folder is listed (a, b and c all seen), the tree changes
    // below it and the second dropped path goes away.
    FakeFileSystem fs;
    fs.afterListing = top;
    fs.afterListingAction = [&] {
        ASSERT_EQ(::unlink((top + "/b/deleted.txt").c_str()), 0);
        MakeSparseFile(top + "/b/grown.txt", 3000);
        ASSERT_EQ(::unlink((top + "/c/gone-with-folder.txt").c_str()), 0);
        ASSERT_EQ(::rmdir((top + "/c").c_str()), 0);
        ASSERT_EQ(::unlink(dropped.c_str()), 0);
    };
    CCorvelinDoc doc;
    RecordingTarget target;
    auto worker = RunScan(doc, {top, dropped}, AllFiles(), &target, fs);
    ASSERT_TRUE(worker->Completed());

    EXPECT_EQ(Files(doc), (std::vector<std::pair<std::string, uint64_t>>{
                              {top + "/a/keep.txt", 1},
                              {top + "/b/grown.txt", 3000},
                              {top + "/b/kept.txt", 4},
                          }));
    ASSERT_EQ(worker->GetSkipped().size(), 2u);
    EXPECT_TRUE(WasSkipped(*worker, top + "/c", SkipReason::UnreadableFolder));
    EXPECT_TRUE(WasSkipped(*worker, dropped, SkipReason::MissingPath));
    for (const SkippedEntry& s : worker->GetSkipped())
        EXPECT_EQ(s.error, ENOENT) << s.path;
}

TEST(ScanRace, EntriesWhoseStatFailsOrDiffersAfterTheListing) {
    TempDir dir;
    const std::string top = dir / "top";
    MakeDir(top);
    MakeSparseFile(top + "/steady.bin", 10);
    MakeSparseFile(top + "/grew.bin", 20);

    // The listing saw "deleted.bin" (stat then failed: it went away between the
    // two calls) and saw "grew.bin" at its old size.
    FakeFileSystem fs;
    zel::DirEntry deleted;
    deleted.name = "deleted.bin";
    deleted.statError = ENOENT;
    zel::DirEntry grew = FakeEntry("grew.bin", FakeStat(zel::FileKind::Regular, 2, 20));
    zel::DirEntry steady = FakeEntry("steady.bin", FakeStat(zel::FileKind::Regular, 3, 10));
    fs.listings[top] = {deleted, grew, steady};
    MakeSparseFile(top + "/grew.bin", 20'000);  // grown after the listing

    CCorvelinDoc doc;
    auto worker = RunScan(doc, {top}, AllFiles(), nullptr, fs);
    ASSERT_TRUE(worker->Completed());
    EXPECT_EQ(Files(doc), (std::vector<std::pair<std::string, uint64_t>>{
                              {top + "/grew.bin", 20},
                              {top + "/steady.bin", 10},
                          }));
    ASSERT_EQ(worker->GetSkipped().size(), 1u);
    EXPECT_EQ(worker->GetSkipped()[0].path, top + "/deleted.bin");
    EXPECT_EQ(worker->GetSkipped()[0].reason, SkipReason::StatFailed);
    EXPECT_EQ(worker->GetSkipped()[0].error, ENOENT);

    // A dropped folder that goes away between its stat and its listing.
    FakeFileSystem vanishing;
    vanishing.listErrors[top] = ENOENT;
    CCorvelinDoc second;
    MakeSparseFile(dir / "outside.bin", 10);
    worker = RunScan(second, {top, dir / "outside.bin"}, AllFiles(), nullptr, vanishing);
    ASSERT_TRUE(worker->Completed());
    EXPECT_EQ(Files(second),
              (std::vector<std::pair<std::string, uint64_t>>{{dir / "outside.bin", 10}}));
    ASSERT_EQ(worker->GetSkipped().size(), 1u);
    EXPECT_EQ(worker->GetSkipped()[0].path, top);
    EXPECT_EQ(worker->GetSkipped()[0].reason, SkipReason::UnreadableFolder);
    EXPECT_EQ(worker->GetSkipped()[0].error, ENOENT);
}

}  // namespace
