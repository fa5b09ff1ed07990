// What the scan makes of each kind of entry: odd names, long paths, links,
// special files and folders it cannot read.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>

#include "ScanTestSupport.h"

using namespace scan_test;
using testing_support::MakeDir;
using testing_support::MakeSparseFile;
using testing_support::TempDir;
using testing_support::U;
using testing_support::WriteFile;

namespace {

void Symlink(const std::string& target, const std::string& link) {
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0) << link;
}

}  // namespace

TEST(ScanEntries, NamesKeepTheirBytesAndJapaneseText) {
    TempDir dir;
    const std::string top = dir / "写真フォルダ";
    MakeDir(top);
    WriteFile(top + "/休暇の写真.jpg", "jpg");
    const std::string badName = std::string("bad\xff\xfe") + "name.txt";
    WriteFile(top + "/" + badName, "b");
    MakeSparseFile(top + "/disc.img", (4ull << 30) + 7);
    CCorvelinDoc doc;

    auto worker = RunScan(doc, {top}, AllFiles());

    ASSERT_EQ(doc.root.children.size(), 1u);
    const CPackFolder& folder = *doc.root.children[0]->AsFolder();
    EXPECT_EQ(folder.GetPath(), zel::DecodeFileName(dir.Path()) + U("/写真フォルダ"));
    const CPackItem* photo = Child(folder, "休暇の写真.jpg");
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->GetName(), U("休暇の写真"));
    const CPackItem* bad = Child(folder, badName);
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(PathBytes(*bad), top + "/" + badName);  // same bytes back for the file system
    EXPECT_EQ(Child(folder, "disc.img")->GetSize(), (4ull << 30) + 7);
    EXPECT_TRUE(worker->GetSkipped().empty());
}

TEST(ScanEntries, PathsOver259UnitsAreSkippedNeverCut) {
    TempDir dir;
    const std::string top = dir / "long";
    MakeDir(top);
    const size_t room = 259 - zel::DecodeFileName(top + "/").size();
    if (room < 81 || room > 250) GTEST_SKIP() << "temporary folder path of unusual length";
    const std::string fits = top + "/" + std::string(room, 'a');
    const std::string tooLong = top + "/" + std::string(room + 1, 'b');
    WriteFile(fits, "");
    WriteFile(tooLong, "");
    MakeDir(top + "/" + std::string(room + 1, 'd'));
    WriteFile(top + "/" + std::string(room + 1, 'd') + "/x", "");
    // Length counts UTF-16 units, not bytes: 80 kanji are 240 bytes but 80 units.
    std::string kanji;
    for (int i = 0; i < 80; ++i)
        kanji += "字";
    WriteFile(top + "/" + kanji, "");
    CCorvelinDoc doc;

    auto worker = RunScan(doc, {top, tooLong}, AllFiles());

    ASSERT_EQ(doc.root.children.size(), 1u);
    const CPackFolder& folder = *doc.root.children[0]->AsFolder();
    EXPECT_EQ(ChildNames(folder), (std::vector<std::string>{std::string(room, 'a'), kanji}));
    EXPECT_EQ(Child(folder, std::string(room, 'a'))->GetPath().size(), 259u);
    EXPECT_TRUE(WasSkipped(*worker, tooLong, SkipReason::PathTooLong));
    EXPECT_TRUE(
        WasSkipped(*worker, top + "/" + std::string(room + 1, 'd'), SkipReason::PathTooLong));
    EXPECT_EQ(worker->GetSkipped().size(), 3u);  // the dropped path too
}

TEST(ScanEntries, TabsAndLineBreaksInNamesAreSkipped) {
    TempDir dir;
    const std::string top = dir / "ctl";
    MakeDir(top);
    WriteFile(top + "/tab\there.txt", "t");
    WriteFile(top + "/line\nbreak.txt", "l");
    WriteFile(top + "/cr\r.txt", "c");
    MakeDir(top + "/folder\twith tab");
    WriteFile(top + "/folder\twith tab/inner.txt", "i");
    WriteFile(top + "/fine.txt", "f");
    WriteFile(top + "/refused\t.bin", "r");
    CCorvelinDoc doc;

    auto worker = RunScan(doc, {top, top + "/tab\there.txt"}, Preset({"*.txt"}));

    ASSERT_EQ(doc.root.children.size(), 1u);
    EXPECT_EQ(ChildNames(*doc.root.children[0]->AsFolder()),
              (std::vector<std::string>{"fine.txt"}));
    for (const char* name : {"tab\there.txt", "line\nbreak.txt", "cr\r.txt", "folder\twith tab"}) {
        EXPECT_TRUE(WasSkipped(*worker, top + "/" + name, SkipReason::ControlCharacter)) << name;
    }
    // Files the filters refuse anyway are not reported; the dropped one is.
    EXPECT_EQ(worker->GetSkipped().size(), 5u);
}

TEST(ScanEntries, LinksToFilesAndFoldersAreFollowedUnderTheirOwnNames) {
    TempDir dir;
    MakeDir(dir / "elsewhere");
    WriteFile(dir / "elsewhere/inside.txt", "1234");
    MakeSparseFile(dir / "target.bin", 5000);
    const std::string top = dir / "top";
    MakeDir(top);
    Symlink(dir / "target.bin", top + "/.link.bin");
    Symlink("../elsewhere", top + "/linked");
    Symlink("elsewhere", dir / "alias");
    CCorvelinDoc doc;

    auto worker = RunScan(doc, {top}, AllFiles());

    ASSERT_EQ(doc.root.children.size(), 1u);
    const CPackFolder& folder = *doc.root.children[0]->AsFolder();
    EXPECT_EQ(ChildNames(folder), (std::vector<std::string>{"linked", ".link.bin"}));
    EXPECT_EQ(Child(folder, ".link.bin")->GetSize(), 5000u);  // the target's size
    const CPackFolder* linked = SubFolder(folder, "linked");
    ASSERT_NE(linked, nullptr);
    EXPECT_EQ(PathBytes(*linked->children[0]), top + "/linked/inside.txt");
    EXPECT_TRUE(worker->GetSkipped().empty());

    // The hidden bit comes from the link's own name; a dropped link is entered.
    CCorvelinDoc doc2;
    auto hiddenRefused = AllFiles();
    hiddenRefused->ignoreFilters.push_back(
        boost::make_shared<CAttrImportFilter>(kAttrHidden, CAttrImportFilter::FuncContains));
    RunScan(doc2, {top + "/.link.bin", dir / "alias"}, hiddenRefused);
    ASSERT_EQ(doc2.root.children.size(), 1u);
    EXPECT_EQ(PathBytes(*doc2.root.children[0]->AsFolder()->children.at(0)),
              dir / "alias/inside.txt");
}

TEST(ScanEntries, LinkLoopsAndDanglingLinksAreReportedWithoutHanging) {
    TempDir dir;
    const std::string top = dir / "loop";
    MakeDir(top);
    MakeDir(top + "/sub");
    WriteFile(top + "/sub/file.txt", "f");
    Symlink(top, top + "/sub/up");   // back to an ancestor
    Symlink(".", top + "/self");     // to the folder itself
    Symlink("ping", top + "/pong");  // a chain that never ends
    Symlink("pong", top + "/ping");
    Symlink("nowhere", top + "/dead");      // nothing there
    Symlink(top + "/sub", top + "/again");  // a second way into sub: no loop
    CCorvelinDoc doc;

    auto worker = RunScan(doc, {top}, AllFiles());

    ASSERT_EQ(doc.root.children.size(), 1u);
    const CPackFolder& folder = *doc.root.children[0]->AsFolder();
    // sub is entered once, under whichever name the listing gives first.
    ASSERT_EQ(folder.children.size(), 1u);
    const std::string first = ChildNames(folder)[0];
    const std::string second = first == "sub" ? "again" : "sub";
    EXPECT_EQ(ChildNames(*SubFolder(folder, first)), (std::vector<std::string>{"file.txt"}));
    EXPECT_TRUE(WasSkipped(*worker, top + "/" + first + "/up", SkipReason::LinkLoop));
    EXPECT_TRUE(WasSkipped(*worker, top + "/" + second, SkipReason::AlreadyEntered));
    EXPECT_TRUE(WasSkipped(*worker, top + "/self", SkipReason::LinkLoop));
    EXPECT_TRUE(WasSkipped(*worker, top + "/ping", SkipReason::LinkLoop));
    EXPECT_TRUE(WasSkipped(*worker, top + "/pong", SkipReason::LinkLoop));
    EXPECT_TRUE(WasSkipped(*worker, top + "/dead", SkipReason::DanglingLink));
    EXPECT_EQ(worker->GetSkipped().size(), 6u);
}

TEST(ScanEntries, SpecialFilesAreSkippedAlsoWhenDropped) {
    TempDir dir;
    const std::string top = dir / "dev";
    MakeDir(top);
    ASSERT_EQ(::mkfifo((top + "/pipe").c_str(), 0644), 0);
    WriteFile(top + "/plain.txt", "p");
    CCorvelinDoc doc;
    doc.nextItemId = 10;

    auto worker = RunScan(doc, {top + "/pipe"}, AllFiles());
    EXPECT_TRUE(doc.root.children.empty());
    EXPECT_EQ(doc.nextItemId, 10u);  // not a folder: no number
    EXPECT_TRUE(WasSkipped(*worker, top + "/pipe", SkipReason::SpecialFile));

    worker = RunScan(doc, {top}, AllFiles());
    ASSERT_EQ(doc.root.children.size(), 1u);
    EXPECT_EQ(ChildNames(*doc.root.children[0]->AsFolder()),
              (std::vector<std::string>{"plain.txt"}));
    EXPECT_TRUE(WasSkipped(*worker, top + "/pipe", SkipReason::SpecialFile));
}

TEST(ScanEntries, MissingDroppedPathsUseOneNumberAndTheScanGoesOn) {
    TempDir dir;
    WriteFile(dir / "real.txt", "r");
    Symlink(dir / "gone", dir / "dangling");
    CCorvelinDoc doc;

    auto worker = RunScan(doc, {dir / "missing", dir / "dangling", dir / "real.txt"}, AllFiles());

    ASSERT_EQ(doc.root.children.size(), 1u);
    EXPECT_EQ(doc.root.children[0]->GetId(), 3u);  // 1 and 2 went to the two failures
    EXPECT_EQ(doc.nextItemId, 4u);
    ASSERT_EQ(worker->GetSkipped().size(), 2u);
    EXPECT_EQ(worker->GetSkipped()[0].path, dir / "missing");
    EXPECT_EQ(worker->GetSkipped()[0].reason, SkipReason::MissingPath);
    EXPECT_EQ(worker->GetSkipped()[0].error, ENOENT);
    EXPECT_EQ(worker->GetSkipped()[1].reason, SkipReason::DanglingLink);
    EXPECT_EQ(DescribeSkipReason(SkipReason::MissingPath), U("見つかりません"));
}

TEST(ScanEntries, UnreadableFolderAddsNothingAndIsReported) {
    TempDir dir;
    const std::string top = dir / "top";
    MakeDir(top);
    MakeDir(top + "/locked");
    WriteFile(top + "/locked/hidden.txt", "h");
    WriteFile(top + "/open.txt", "o");
    FakeFileSystem fs;
    fs.listErrors[top + "/locked"] = EACCES;
    CCorvelinDoc doc;

    auto worker = RunScan(doc, {top}, AllFiles(), nullptr, fs);

    ASSERT_EQ(doc.root.children.size(), 1u);
    EXPECT_EQ(ChildNames(*doc.root.children[0]->AsFolder()),
              (std::vector<std::string>{"open.txt"}));
    EXPECT_EQ(doc.nextItemId, 4u);  // top, locked, open.txt
    ASSERT_EQ(worker->GetSkipped().size(), 1u);
    EXPECT_EQ(worker->GetSkipped()[0].path, top + "/locked");
    EXPECT_EQ(worker->GetSkipped()[0].reason, SkipReason::UnreadableFolder);
    EXPECT_EQ(worker->GetSkipped()[0].error, EACCES);

    // A dropped folder that cannot be listed adds nothing at all.
    CCorvelinDoc doc2;
    fs.listErrors[top] = EIO;
    worker = RunScan(doc2, {top}, AllFiles(), nullptr, fs);
    EXPECT_TRUE(doc2.root.children.empty());
    EXPECT_TRUE(WasSkipped(*worker, top, SkipReason::UnreadableFolder));
}

TEST(ScanEntries, FolderWithoutPermissionOnRealDisk) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    TempDir dir;
    const std::string top = dir / "top";
    MakeDir(top);
    MakeDir(top + "/locked");
    WriteFile(top + "/locked/in.txt", "i");
    WriteFile(top + "/open.txt", "o");
    ASSERT_EQ(::chmod((top + "/locked").c_str(), 0), 0);
    CCorvelinDoc doc;

    auto worker = RunScan(doc, {top}, AllFiles());

    ASSERT_EQ(doc.root.children.size(), 1u);
    EXPECT_EQ(ChildNames(*doc.root.children[0]->AsFolder()),
              (std::vector<std::string>{"open.txt"}));
    EXPECT_TRUE(WasSkipped(*worker, top + "/locked", SkipReason::UnreadableFolder));
}

// Each folder links twice to the next: without remembering the folders entered,
// the walk would visit 2^40 paths.
TEST(ScanEntries, FolderReachedAgainThroughLinksIsEnteredOnce) {
    constexpr int kDepth = 40;
    TempDir dir;
    for (int i = 0; i <= kDepth; ++i) {
        const std::string folder = dir / ("d" + std::to_string(i));
        MakeDir(folder);
        WriteFile(folder + "/f.txt", "x");
        if (i == kDepth) continue;
        Symlink("../d" + std::to_string(i + 1), folder + "/a");
        Symlink("../d" + std::to_string(i + 1), folder + "/b");
    }
    CCorvelinDoc doc;
    RecordingTarget target;
    CAddFileWorker* running = nullptr;
    size_t entered = 0;
    target.onPost = [&](ScanNotice message) {
        if (message == ScanNotice::PathChanged && ++entered > 10 * kDepth) running->Cancel();
    };
    CAddFileWorker worker(zel::IFileSystem::Default(), doc, AllFiles(), {dir / "d0"}, &target);
    running = &worker;
    ASSERT_TRUE(worker.Start());
    worker.Join();

    ASSERT_TRUE(worker.CommitTo(doc)) << "the walk went on past " << entered << " folders";
    std::vector<const CPackItem*> items;
    Collect(*doc.root.children.at(0)->AsFolder(), items);
    EXPECT_EQ(items.size(), 2u * (kDepth + 1) - 1);  // every folder but d0 itself, every file
    ASSERT_EQ(worker.GetSkipped().size(), static_cast<size_t>(kDepth));
    for (const SkippedEntry& skipped : worker.GetSkipped())
        EXPECT_EQ(skipped.reason, SkipReason::AlreadyEntered) << skipped.path;
    EXPECT_NE(DescribeSkipReason(SkipReason::AlreadyEntered),
              DescribeSkipReason(SkipReason::LinkLoop));
}

// No file is planned twice: a dropped path inside (or equal to) another dropped
// path is left out, in any order; a mere common prefix is not nesting.
TEST(ScanEntries, DroppedPathsInsideOtherDroppedPathsAreSkipped) {
    TempDir dir;
    const std::string top = dir / "top";
    MakeDir(top);
    MakeDir(top + "/sub");
    WriteFile(top + "/sub/file.txt", "f");
    MakeDir(top + "-2");
    WriteFile(top + "-2/other.txt", "o");
    CCorvelinDoc doc;

    auto worker =
        RunScan(doc, {top + "/sub/file.txt", top, top + "-2", top + "/sub", top}, AllFiles());

    EXPECT_EQ(ChildNames(doc.root), (std::vector<std::string>{"top", "top-2"}));
    EXPECT_EQ(worker->GetSkipped().size(), 3u);
    EXPECT_TRUE(WasSkipped(*worker, top + "/sub/file.txt", SkipReason::InsideDroppedPath));
    EXPECT_TRUE(WasSkipped(*worker, top + "/sub", SkipReason::InsideDroppedPath));

    EXPECT_EQ(CAddFileWorker::NestedDroppedPaths({"/a/b", "/", "/a"}),
              (std::vector<bool>{true, false, true}));
}
