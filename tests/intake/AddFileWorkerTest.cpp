// A whole drop: numbering, order, hand-over to the document, progress, cancel
// and failure.

#include "intake/AddFileWorker.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <set>
#include <tuple>

#include "ScanTestSupport.h"
#include "model/PackItemTraverser.h"

using namespace scan_test;
using testing_support::MakeDir;
using testing_support::MakeSparseFile;
using testing_support::TempDir;
using testing_support::U;
using testing_support::WriteFile;

TEST(AddFileWorker, DroppedFileKeepsFullSizeAndNumberAndIsHandedOver) {
    TempDir dir;
    const std::string file = dir / "huge.iso";
    const uint64_t size = (5ull << 30) + 1;  // past 32 bits
    MakeSparseFile(file, size);
    CCorvelinDoc doc;
    doc.nextItemId = 7;
    RecordingTarget target;

    auto worker = RunScan(doc, {file}, AllFiles(), &target);

    ASSERT_EQ(doc.root.children.size(), 1u);
    const CPackItem& item = *doc.root.children[0];
    EXPECT_FALSE(item.IsFolder());
    EXPECT_EQ(item.GetId(), 7u);
    EXPECT_EQ(item.GetSize(), size);
    EXPECT_EQ(item.GetPath(), zel::DecodeFileName(file));
    EXPECT_EQ(item.level, 1u);
    EXPECT_EQ(item.parent, &doc.root);
    EXPECT_EQ(item.siblingPosition, CPackItem::PositionLast);
    EXPECT_EQ(doc.nextItemId, 8u);

    const CPackFolderPtr& result = worker->GetResult();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetId(), 0u);
    EXPECT_TRUE(result->GetPath().empty());
    ASSERT_EQ(result->children.size(), 1u);
    EXPECT_EQ(result->children[0], doc.root.children[0]);  // the same item, not a copy
    EXPECT_TRUE(worker->Completed());
    EXPECT_TRUE(worker->GetSkipped().empty());
    EXPECT_EQ(worker->GetCurrentPath(), zel::DecodeFileName(file));
    EXPECT_EQ(target.Messages(),
              (std::vector<ScanNotice>{ScanNotice::PathChanged, ScanNotice::Finished}));
}

TEST(AddFileWorker, FolderIsNumberedInWalkOrderSortedAndPruned) {
    TempDir dir;
    const std::string top = dir / "top";
    MakeDir(top);
    MakeDir(top + "/Sub");
    MakeDir(top + "/a");
    MakeDir(top + "/empty");
    MakeDir(top + "/empty/deeper");
    WriteFile(top + "/b.txt", "bb");
    WriteFile(top + "/A.txt", "a");
    WriteFile(top + "/Sub/x.txt", "xxx");
    WriteFile(top + "/a/y.txt", "");
    CCorvelinDoc doc;
    doc.nextItemId = 100;
    RecordingTarget target;

    auto worker = RunScan(doc, {top}, AllFiles(), &target);

    ASSERT_EQ(doc.root.children.size(), 1u);
    CPackFolder* folder = doc.root.children[0]->AsFolder();
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->GetId(), 100u);  // numbered on entry, before its entries
    EXPECT_EQ(folder->GetSize(), 0u);
    EXPECT_EQ(ChildNames(*folder), (std::vector<std::string>{"a", "Sub", "A.txt", "b.txt"}));
    EXPECT_EQ(folder->children.front()->siblingPosition, CPackItem::PositionFirst);
    EXPECT_EQ(folder->children.back()->siblingPosition, CPackItem::PositionLast);

    CPackFolder* a = SubFolder(*folder, "a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->level, 2u);
    ASSERT_EQ(a->children.size(), 1u);
    EXPECT_EQ(a->children[0]->level, 3u);
    EXPECT_EQ(a->children[0]->parent, a);
    EXPECT_EQ(PathBytes(*a->children[0]), top + "/a/y.txt");
    EXPECT_EQ(Child(*folder, "b.txt")->GetSize(), 2u);

    // Five folders entered (two of them pruned) and four files: nine numbers, each
    // used once, every child numbered after its folder.
    EXPECT_EQ(doc.nextItemId, 109u);
    std::vector<const CPackItem*> all;
    Collect(*folder, all);
    std::set<uint32_t> ids{folder->GetId()};
    for (const CPackItem* item : all) {
        EXPECT_TRUE(ids.insert(item->GetId()).second);
        EXPECT_GT(item->GetId(), item->parent->GetId());
        EXPECT_LT(item->GetId(), 109u);
    }
    EXPECT_EQ(all.size(), 6u);

    // One notice per folder entered, none per file.
    EXPECT_EQ(target.Count(ScanNotice::PathChanged), 5u);
    EXPECT_EQ(target.Messages().back(), ScanNotice::Finished);
}

TEST(AddFileWorker, NumbersFollowTheWalkDownAChain) {
    TempDir dir;
    MakeDir(dir / "t");
    MakeDir(dir / "t/a");
    MakeDir(dir / "t/a/b");
    WriteFile(dir / "t/a/b/f.txt", "f");
    CCorvelinDoc doc;

    RunScan(doc, {dir / "t"}, AllFiles());

    ASSERT_EQ(doc.root.children.size(), 1u);
    const CPackFolder* t = doc.root.children[0]->AsFolder();
    ASSERT_NE(t, nullptr);
    const CPackFolder* a = SubFolder(*t, "a");
    ASSERT_NE(a, nullptr);
    const CPackFolder* b = SubFolder(*a, "b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(t->GetId(), 1u);
    EXPECT_EQ(a->GetId(), 2u);
    EXPECT_EQ(b->GetId(), 3u);
    EXPECT_EQ(b->children[0]->GetId(), 4u);
    EXPECT_EQ(doc.nextItemId, 5u);
}

TEST(AddFileWorker, RefusedFilesLeaveNothingButTheFolderNumbersAreUsed) {
    TempDir dir;
    const std::string top = dir / "photos";
    MakeDir(top);
    MakeDir(top + "/raw");
    WriteFile(top + "/notes.txt", "n");
    WriteFile(top + "/raw/a.cr2", "r");
    WriteFile(top + "/raw/b.jpg.txt", "r");
    CCorvelinDoc doc;
    RecordingTarget target;

    auto worker = RunScan(doc, {top}, Preset({"*.jpg"}), &target);

    EXPECT_TRUE(doc.root.children.empty());
    ASSERT_TRUE(worker->GetResult());
    EXPECT_TRUE(worker->GetResult()->children.empty());
    EXPECT_TRUE(worker->Completed());
    EXPECT_EQ(doc.nextItemId, 3u);  // photos and raw were entered
    EXPECT_EQ(target.Messages().back(), ScanNotice::Finished);
    EXPECT_TRUE(worker->GetSkipped().empty());  // refused is not skipped
}

TEST(AddFileWorker, InputAndIgnoreFiltersAndAttributeBits) {
    TempDir dir;
    const std::string top = dir / "mix";
    MakeDir(top);
    MakeDir(top + "/.hidden");
    WriteFile(top + "/.hidden/keep.txt", "k");
    WriteFile(top + "/.dot.txt", "d");
    WriteFile(top + "/keep.txt", "k");
    WriteFile(top + "/skip.txt.bak", "s");
    WriteFile(top + "/locked.txt", "l");
    chmod((top + "/locked.txt").c_str(), 0444);
    WriteFile(top + "/secret.txt", "s");
    chmod((top + "/secret.txt").c_str(), 0);  // never opened, so still imported
    CCorvelinDoc doc;

    auto preset = Preset({"*.txt", "*.bak"}, {"*.bak"});
    preset->ignoreFilters.push_back(
        boost::make_shared<CAttrImportFilter>(kAttrHidden, CAttrImportFilter::FuncContains));
    RunScan(doc, {top}, preset);

    ASSERT_EQ(doc.root.children.size(), 1u);
    const CPackFolder& mix = *doc.root.children[0]->AsFolder();
    // The hidden folder is entered; hidden files are refused.
    EXPECT_EQ(ChildNames(mix),
              (std::vector<std::string>{".hidden", "keep.txt", "locked.txt", "secret.txt"}));

    // Read-only comes from the owner's write bit, archive is set on every file.
    CCorvelinDoc doc2;
    auto readOnly = Preset({"*.*"});
    readOnly->inputFilters.assign(
        1, boost::make_shared<CAttrImportFilter>(kAttrReadOnly | kAttrArchive,
                                                 CAttrImportFilter::FuncContains));
    RunScan(doc2, {top}, readOnly);
    ASSERT_EQ(doc2.root.children.size(), 1u);
    EXPECT_EQ(ChildNames(*doc2.root.children[0]->AsFolder()),
              (std::vector<std::string>{"locked.txt", "secret.txt"}));

    CCorvelinDoc doc3;
    RunScan(doc3, {top}, boost::make_shared<CImportSettings>());
    EXPECT_TRUE(doc3.root.children.empty());  // no input filter imports nothing
}

TEST(AddFileWorker, SeveralDropsFollowExistingItemsInDropOrder) {
    TempDir dir;
    MakeDir(dir / "zeta");
    WriteFile(dir / "zeta/z.txt", "z");
    WriteFile(dir / "alpha.txt", "a");
    MakeDir(dir / "nothing");
    CCorvelinDoc doc;
    doc.root.AppendChild(boost::make_shared<CPackItem>(1, U("/old/item.txt"), 5));
    doc.nextItemId = 2;

    auto worker = RunScan(doc, {dir / "zeta", dir / "nothing", dir / "alpha.txt"}, AllFiles());

    ASSERT_EQ(doc.root.children.size(), 3u);
    EXPECT_EQ(PathBytes(*doc.root.children[0]), "/old/item.txt");
    EXPECT_EQ(PathBytes(*doc.root.children[1]), dir / "zeta");
    EXPECT_EQ(PathBytes(*doc.root.children[2]), dir / "alpha.txt");
    EXPECT_EQ(doc.root.children[0]->siblingPosition, CPackItem::PositionOther);
    EXPECT_EQ(doc.root.children[2]->siblingPosition, CPackItem::PositionLast);
    EXPECT_EQ(doc.root.children[2]->GetId(), 5u);  // zeta 2, z.txt 3, nothing 4

    const CPackFolderPtr& result = worker->GetResult();
    ASSERT_TRUE(result);
    ASSERT_EQ(result->children.size(), 2u);
    EXPECT_EQ(result->children[0], doc.root.children[1]);
    EXPECT_EQ(result->children[1], doc.root.children[2]);
    EXPECT_EQ(result->children[0]->parent, &doc.root);
}

TEST(AddFileWorker, CancelAddsNothingAndKeepsTheCounter) {
    TempDir dir;
    MakeDir(dir / "first");
    MakeDir(dir / "first/sub");
    for (int i = 0; i < 20; ++i)
        WriteFile(dir / ("first/f" + std::to_string(i)), "x");
    MakeDir(dir / "second");
    WriteFile(dir / "second/s.txt", "s");
    CCorvelinDoc doc;
    doc.nextItemId = 40;
    RecordingTarget target;
    CAddFileWorker worker(zel::IFileSystem::Default(), doc, AllFiles(),
                          {dir / "first", dir / "second"}, &target);
    target.onPost = [&](ScanNotice message) {
        if (message == ScanNotice::PathChanged) worker.Cancel();
    };

    ASSERT_TRUE(worker.Start());
    worker.Join();
    worker.CommitTo(doc);

    EXPECT_TRUE(doc.root.children.empty());
    EXPECT_EQ(doc.nextItemId, 40u);
    EXPECT_FALSE(worker.Completed());
    EXPECT_FALSE(worker.GetResult());
    EXPECT_TRUE(worker.GetSkipped().empty());
    // The first folder stopped after its first entry; the second was never read.
    EXPECT_LE(target.Count(ScanNotice::PathChanged), 2u);
    EXPECT_EQ(target.Messages().back(), ScanNotice::Cancelled);
    EXPECT_EQ(target.Count(ScanNotice::Finished), 0u);
    EXPECT_EQ(target.Count(ScanNotice::Failed), 0u);
}

TEST(AddFileWorker, CancelDuringTheHandOverComesTooLate) {
    TempDir dir;
    WriteFile(dir / "a.txt", "a");
    CCorvelinDoc doc;
    RecordingTarget target;
    CAddFileWorker worker(zel::IFileSystem::Default(), doc, AllFiles(), {dir / "a.txt"}, &target);
    target.onPost = [&](ScanNotice message) {
        if (message == ScanNotice::Finished) worker.Cancel();
    };

    ASSERT_TRUE(worker.Start());
    worker.Join();
    worker.CommitTo(doc);

    EXPECT_TRUE(worker.Completed());
    EXPECT_EQ(doc.root.children.size(), 1u);
    EXPECT_EQ(doc.nextItemId, 2u);
}

TEST(AddFileWorker, ExceptionInTheWalkIsReportedAndAddsNothing) {
    TempDir dir;
    WriteFile(dir / "ok.txt", "o");
    MakeDir(dir / "boom");
    CCorvelinDoc doc;
    doc.root.AppendChild(boost::make_shared<CPackItem>(1, U("/kept.txt"), 1));
    doc.nextItemId = 2;
    FakeFileSystem fs;
    fs.throwOn = dir / "boom";
    RecordingTarget target;

    auto worker = RunScan(doc, {dir / "ok.txt", dir / "boom"}, AllFiles(), &target, fs);

    ASSERT_EQ(doc.root.children.size(), 1u);
    EXPECT_EQ(doc.root.children[0]->siblingPosition, CPackItem::PositionLast);
    EXPECT_EQ(doc.nextItemId, 2u);
    EXPECT_FALSE(worker->Completed());
    EXPECT_FALSE(worker->GetResult());
    EXPECT_NE(worker->GetErrorText().find(u"listing exploded"), std::u16string::npos);
    EXPECT_EQ(target.Messages().back(), ScanNotice::Failed);
    EXPECT_EQ(target.Count(ScanNotice::Finished), 0u);
    EXPECT_EQ(worker->GetExitCode(), 1u);
}

TEST(AddFileWorker, DroppedRootIsJoinedWithoutADoubleSlash) {
    FakeFileSystem fs;
    using zel::FileKind;
    fs.stats["/"] = FakeStat(FileKind::Directory, 2);
    fs.listings["/"] = {FakeEntry("f.txt", FakeStat(FileKind::Regular, 10, 123)),
                        FakeEntry("d", FakeStat(FileKind::Directory, 11))};
    fs.listings["/d"] = {FakeEntry("g.txt", FakeStat(FileKind::Regular, 12, 4))};
    CCorvelinDoc doc;

    RunScan(doc, {"/"}, AllFiles(), nullptr, fs);

    ASSERT_EQ(doc.root.children.size(), 1u);
    const CPackFolder& root = *doc.root.children[0]->AsFolder();
    EXPECT_EQ(PathBytes(root), "/");
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(PathBytes(*root.children[0]), "/d");
    EXPECT_EQ(PathBytes(*root.children[0]->AsFolder()->children[0]), "/d/g.txt");
    EXPECT_EQ(PathBytes(*root.children[1]), "/f.txt");
    EXPECT_EQ(root.children[1]->GetSize(), 123u);
}

TEST(AddFileWorker, ReadAheadGivesTheSameScan) {
    // Listing ahead on a second thread must not change numbers, order, sizes or
    // the skip report.
    testing_support::TempDir dir;
    for (int a = 0; a < 5; ++a) {
        const std::string level1 = dir / ("d" + std::to_string(a));
        testing_support::MakeDir(level1);
        for (int b = 0; b < 4; ++b) {
            const std::string level2 = level1 + "/e" + std::to_string(b);
            testing_support::MakeDir(level2);
            for (int f = 0; f < 6; ++f) {
                testing_support::MakeSparseFile(
                    level2 + "/f" + std::to_string(f) + ".bin",
                    static_cast<unsigned long long>(a * 100 + b * 10 + f));
            }
        }
    }
    ASSERT_EQ(symlink((dir / "d0").c_str(), (dir / "d0/e0/loop").c_str()), 0);
    ASSERT_EQ(symlink((dir / "gone").c_str(), (dir / "d1/dangling").c_str()), 0);

    auto scan = [&](bool readAhead, CCorvelinDoc& doc) {
        auto worker = std::make_unique<CAddFileWorker>(
            zel::IFileSystem::Default(), doc, scan_test::AllFiles(),
            std::vector<std::string>{dir.Path()}, nullptr);
        worker->SetReadAhead(readAhead ? 2 : 0);
        EXPECT_TRUE(worker->Start());
        worker->Join();
        worker->CommitTo(doc);
        return worker;
    };
    CCorvelinDoc plainDoc;
    auto plain = scan(false, plainDoc);
    std::vector<std::tuple<uint32_t, std::u16string, uint64_t, uint32_t>> expected;
    struct Collect : CPackItemTraverser {
        std::vector<std::tuple<uint32_t, std::u16string, uint64_t, uint32_t>>* out;
        bool VisitFolder(CPackFolder& f) override {
            out->emplace_back(f.GetId(), f.GetPath(), f.GetSize(), f.level);
            return true;
        }
        bool VisitItem(CPackItem& i) override {
            out->emplace_back(i.GetId(), i.GetPath(), i.GetSize(), i.level);
            return true;
        }
    } collect;
    collect.out = &expected;
    plainDoc.root.Accept(collect);
    const uint32_t plainNext = plainDoc.nextItemId;

    CCorvelinDoc aheadDoc;
    auto ahead = scan(true, aheadDoc);
    std::vector<std::tuple<uint32_t, std::u16string, uint64_t, uint32_t>> actual;
    collect.out = &actual;
    aheadDoc.root.Accept(collect);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(aheadDoc.nextItemId, plainNext);
    ASSERT_EQ(ahead->GetSkipped().size(), plain->GetSkipped().size());
    for (size_t i = 0; i < plain->GetSkipped().size(); ++i) {
        EXPECT_EQ(ahead->GetSkipped()[i].path, plain->GetSkipped()[i].path);
        EXPECT_EQ(ahead->GetSkipped()[i].reason, plain->GetSkipped()[i].reason);
    }
    EXPECT_EQ(expected.size(), 1u + 1 + 5 + 20 + 120);  // root, drop, d*, e*, files
}
