// The folder scan: numbering, order and hand-over to the document, filters,
// cancel and failure; what it makes of odd names, links, special files and
// folders it cannot read; and trees that change while it runs.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "ScanTestSupport.h"
#include "intake/NothingImported.h"

using namespace scan_test;

namespace {

// Every case runs with the walk listing each folder itself and with folders
// listed on several threads at once: the results must not differ.
class ScanWalk : public ScanFixture, public ::testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override { readAhead = GetParam(); }
};
using AddFileWorker = ScanWalk;
using ScanEntries = ScanWalk;
using ScanRace = ScanWalk;

TEST_P(AddFileWorker, NumbersOnEntrySortsPrunesAndHandsOverAfterExistingItems) {
    Make({"top/", "top/Sub/", "top/a/", "top/empty/", "top/empty/deeper/", "top/b.txt=2",
          "top/A.txt=1", "top/Sub/x.txt=3", "top/a/y.txt", "nothing/", "chain/", "chain/a/",
          "chain/a/b/", "chain/a/b/f.txt", "huge.iso=5368709121"});  // past 32 bits
    doc.root.AppendChild(CPackItem::Create(1, u"/old/item.txt", 5));
    doc.nextItemId = 100;
    Scan(doc, {"top", "nothing", "chain", "huge.iso"});

    ASSERT_EQ(Tree(doc), (std::vector<std::string>{
                             "/old/item.txt=5", "top/", "top/a/", "top/a/y.txt=0", "top/Sub/",
                             "top/Sub/x.txt=3", "top/A.txt=1", "top/b.txt=2", "chain/", "chain/a/",
                             "chain/a/b/", "chain/a/b/f.txt=0", "huge.iso=5368709121"}));
    // Folders take their number on entry; the three pruned ones use theirs too.
    const std::vector<std::string> numbered = Tree(doc, true);
    EXPECT_EQ(std::vector<std::string>(numbered.begin() + 8, numbered.end()),
              (std::vector<std::string>{"chain/ #110", "chain/a/ #111", "chain/a/b/ #112",
                                        "chain/a/b/f.txt=0 #113", "huge.iso=5368709121 #114"}));
    EXPECT_EQ(doc.nextItemId, 115u);
    EXPECT_EQ(doc.root.children.front()->siblingPosition, CPackItem::PositionOther);
    EXPECT_EQ(doc.root.children.back()->siblingPosition, CPackItem::PositionLast);

    ASSERT_TRUE(worker->GetResult());
    EXPECT_EQ(worker->GetResult()->children,  // the same items, not copies
              std::vector<CPackItemPtr>(doc.root.children.begin() + 1, doc.root.children.end()));
    EXPECT_TRUE(Skips().empty());
    EXPECT_EQ(zel::EncodeFileName(worker->GetCurrentPath()), dir / "huge.iso");
    // One notice per folder entered and per dropped file, none per file inside.
    EXPECT_EQ(std::count(target.messages.begin(), target.messages.end(), ScanNotice::PathChanged),
              10);
    EXPECT_EQ(target.messages.back(), ScanNotice::Finished);
}

TEST_P(AddFileWorker, InputAndIgnoreFiltersAndAttributeBits) {
    Make({"mix/", "mix/.hidden/", "mix/.hidden/keep.txt", "mix/.dot.txt", "mix/keep.txt",
          "mix/skip.txt.bak", "mix/locked.txt", "mix/secret.txt"});
    ::chmod((dir / "mix/locked.txt").c_str(), 0444);
    ::chmod((dir / "mix/secret.txt").c_str(), 0);  // never opened, so still imported

    auto preset = Preset({"*.txt", "*.bak"}, {"*.bak"});
    preset->ignoreFilters.push_back(
        boost::make_shared<CAttrImportFilter>(kAttrHidden, CAttrImportFilter::FuncContains));
    Scan(doc, {"mix"}, preset);
    // The hidden folder is entered; hidden files are refused.
    EXPECT_EQ(Tree(doc),
              (std::vector<std::string>{"mix/", "mix/.hidden/", "mix/.hidden/keep.txt=0",
                                        "mix/keep.txt=0", "mix/locked.txt=0", "mix/secret.txt=0"}));
    // The window tells of a drop that took nothing how many files the filters refused.
    EXPECT_EQ(worker->GetRefusedCount(), 2u);
    preset->name = u"写真";
    EXPECT_EQ(zel::Utf16ToUtf8(DescribeNothingImported(2, *preset)),
              "ファイルは追加されませんでした。\n"
              "2 個のファイルがインポート設定「写真」のフィルターで除外されました。");

    // Read-only comes from the owner's write bit, archive is set on every file.
    CCorvelinDoc readOnly;
    auto attrs = Preset({});
    attrs->inputFilters.push_back(boost::make_shared<CAttrImportFilter>(
        kAttrReadOnly | kAttrArchive, CAttrImportFilter::FuncContains));
    Scan(readOnly, {"mix"}, attrs);
    EXPECT_EQ(Tree(readOnly),
              (std::vector<std::string>{"mix/", "mix/locked.txt=0", "mix/secret.txt=0"}));
}

TEST_P(AddFileWorker, ExceptionInTheWalkIsReportedAndAddsNothing) {
    Make({"ok.txt", "boom/"});
    doc.root.AppendChild(CPackItem::Create(1, u"/kept.txt", 1));
    doc.nextItemId = 2;
    fs.throwOn = dir / "boom";
    Scan(doc, {"ok.txt", "boom"});

    EXPECT_EQ(Tree(doc), std::vector<std::string>{"/kept.txt=1"});
    EXPECT_EQ(doc.nextItemId, 2u);
    EXPECT_NE(worker->GetErrorText().find(u"listing exploded"), std::u16string::npos);
    EXPECT_EQ(target.messages.back(), ScanNotice::Failed);
}

TEST_P(AddFileWorker, DroppedRootIsJoinedWithoutADoubleSlash) {
    using testing_support::FakeEntry;
    using testing_support::FakeStat;
    using zel::FileKind;
    fs.listings["/"] = {FakeEntry("f.txt", FakeStat(FileKind::Regular, 10, 123)),
                        FakeEntry("d", FakeStat(FileKind::Directory, 11))};
    fs.listings["/d"] = {FakeEntry("g.txt", FakeStat(FileKind::Regular, 12, 4))};
    Scan(doc, {"/"});
    EXPECT_EQ(Tree(doc), (std::vector<std::string>{"//", "/d/", "/d/g.txt=4", "/f.txt=123"}));
}

TEST_P(ScanEntries, PathsOver259UnitsAreSkippedNeverCut) {
    const size_t room = 259 - zel::DecodeFileName(dir / "long/").size();
    if (room < 81 || room > 249) GTEST_SKIP() << "temporary folder path of unusual length";
    const std::string fits = "long/" + std::string(room, 'a');
    const std::string tooLong = "long/" + std::string(room + 1, 'b');
    const std::string longFolder = "long/" + std::string(room + 1, 'd');
    // Length counts UTF-16 units, not bytes: 80 kanji are 240 bytes but 80 units.
    std::string kanji = "long/";
    for (int i = 0; i < 80; ++i)
        kanji += "字";
    const std::string droppedTooLong(room + 6, 'c');
    Make({"long/", fits, tooLong, longFolder + "/", longFolder + "/x", kanji, droppedTooLong});
    Scan(doc, {"long", droppedTooLong});
    EXPECT_EQ(Tree(doc), (std::vector<std::string>{"long/", fits + "=0", kanji + "=0"}));
    EXPECT_EQ(Skips(), (std::vector<std::string>{droppedTooLong + " too-long",
                                                 tooLong + " too-long", longFolder + " too-long"}));
}

TEST_P(ScanEntries, LinksToFilesAndFoldersAreFollowedUnderTheirOwnNames) {
    Make({"elsewhere/", "elsewhere/inside.txt=4", "target.bin=5000", "top/",
          "top/.link.bin->../target.bin", "top/linked->../elsewhere", "alias->elsewhere"});
    Scan(doc, {"top"});
    EXPECT_EQ(Tree(doc), (std::vector<std::string>{"top/", "top/linked/", "top/linked/inside.txt=4",
                                                   "top/.link.bin=5000"}));
    EXPECT_TRUE(Skips().empty());

    // The hidden bit comes from the link's own name; a dropped link is entered.
    CCorvelinDoc second;
    auto hiddenRefused = Preset({"*.*"});
    hiddenRefused->ignoreFilters.push_back(
        boost::make_shared<CAttrImportFilter>(kAttrHidden, CAttrImportFilter::FuncContains));
    Scan(second, {"top/.link.bin", "alias"}, hiddenRefused);
    EXPECT_EQ(Tree(second), (std::vector<std::string>{"alias/", "alias/inside.txt=4"}));
}

TEST_P(ScanEntries, LinkLoopsAndDanglingLinksAreReportedWithoutHanging) {
    // Remembering only the ancestors, sub is entered twice here, and a chain of
    // folders linking twice to the next would take 2^depth paths.
    Make({"loop/", "loop/sub/", "loop/sub/file.txt", "loop/sub/up->../../loop", "loop/self->.",
          "loop/pong->ping", "loop/ping->pong", "loop/dead->nowhere",
          "loop/again->sub"});  // a second way into sub: no loop
    Scan(doc, {"loop"});
    // sub is entered once, under whichever name the listing gives first.
    const std::vector<std::string> tree = Tree(doc);
    ASSERT_EQ(tree.size(), 3u);
    const std::string first = tree[1] == "loop/sub/" ? "sub" : "again";
    const std::string second = first == "sub" ? "again" : "sub";
    EXPECT_EQ(tree[2], "loop/" + first + "/file.txt=0");
    std::vector<std::string> expected{"loop/" + first + "/up loop", "loop/" + second + " entered",
                                      "loop/dead dangling/2",       "loop/ping loop/40",
                                      "loop/pong loop/40",          "loop/self loop"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Skips(), expected);
}

// Skips are reported with their reason, dropped or listed; refused files are not.
// Failed paths use up a number. A dropped path inside (or equal to) another is
// left out, so no file is planned twice; a mere common prefix is not nesting.
TEST_P(ScanEntries, OddEntriesAreSkippedWithTheirReason) {
    Make({"ctl/", "ctl/tab\there.txt", "ctl/line\nbreak.txt", "ctl/cr\r.txt", "ctl/dir\ttab/",
          "ctl/dir\ttab/inner.txt", "ctl/fine.txt", "ctl/refused\t.bin", "tab\tdrop.txt"});
    Make({"dev/", "dev/plain.txt", "real.txt", "dangling->gone", "locked/", "locked/in.txt"});
    Make({"top/", "top/sub/", "top/sub/file.txt", "top-2/", "top-2/other.txt", "faked/",
          "faked/grew.txt=20000"});
    ASSERT_EQ(::mkfifo((dir / "dev/pipe").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    fs.listErrors[dir / "locked"] = EACCES;
    // The listing saw "deleted.txt" (its stat then failed) and "grew.txt" at its old size.
    zel::DirEntry deleted;
    deleted.name = "deleted.txt";
    deleted.statError = ENOENT;
    fs.listings[dir / "faked"] = {
        deleted, testing_support::FakeEntry(
                     "grew.txt", testing_support::FakeStat(zel::FileKind::Regular, 2, 20))};
    Scan(doc,
         {"pipe", "missing", "dangling", "real.txt", "tab\tdrop.txt", "dev", "locked",
          "top/sub/file.txt", "top", "top-2", "top/sub", "top", "ctl", "faked"},
         Preset({"*.txt"}));
    EXPECT_EQ(Tree(doc, true),
              (std::vector<std::string>{"real.txt=0 #3", "dev/ #4", "dev/plain.txt=0 #5", "top/ #7",
                                        "top/sub/ #8", "top/sub/file.txt=0 #9", "top-2/ #10",
                                        "top-2/other.txt=0 #11", "ctl/ #12", "ctl/fine.txt=0 #13",
                                        "faked/ #14", "faked/grew.txt=20 #15"}));
    EXPECT_EQ(
        Skips(),
        (std::vector<std::string>{
            "ctl/cr\r.txt control", "ctl/dir\ttab control", "ctl/line\nbreak.txt control",
            "ctl/tab\there.txt control", "dangling dangling/2", "dev/pipe special",
            "faked/deleted.txt stat/2", "locked unreadable/13", "missing missing/2", "pipe special",
            "tab\tdrop.txt control", "top nested", "top/sub nested", "top/sub/file.txt nested"}));
    EXPECT_EQ(CAddFileWorker::NestedDroppedPaths({"/a/b", "/", "/a"}),
              (std::vector<bool>{true, false, true}));
}

// The tree changes when a given folder is listed, so every run sees the same
// race: what vanished is reported, what grew is taken at the size the walk saw.
TEST_P(ScanRace, FilesAndFoldersChangedDuringTheWalk) {
    Make({"top/", "top/a/", "top/b/", "top/c/", "top/a/keep.txt=1", "top/b/deleted.txt=2",
          "top/b/grown.txt=3", "top/b/kept.txt=4", "top/c/gone.txt=5", "dropped.txt=6"});
    fs.afterListing = dir / "top";
    fs.afterListingAction = [&] {
        ASSERT_EQ(::unlink((dir / "top/b/deleted.txt").c_str()), 0);
        Make({"top/b/grown.txt=3000"});
        ASSERT_EQ(::unlink((dir / "top/c/gone.txt").c_str()), 0);
        ASSERT_EQ(::rmdir((dir / "top/c").c_str()), 0);
        ASSERT_EQ(::unlink((dir / "dropped.txt").c_str()), 0);
    };
    Scan(doc, {"top", "dropped.txt"});
    ASSERT_TRUE(worker->Completed());
    EXPECT_EQ(Tree(doc), (std::vector<std::string>{"top/", "top/a/", "top/a/keep.txt=1", "top/b/",
                                                   "top/b/grown.txt=3000", "top/b/kept.txt=4"}));
    EXPECT_EQ(Skips(), (std::vector<std::string>{"dropped.txt missing/2", "top/c unreadable/2"}));
}

INSTANTIATE_TEST_SUITE_P(Readers, AddFileWorker, ::testing::Values(0u, 4u));
INSTANTIATE_TEST_SUITE_P(Readers, ScanEntries, ::testing::Values(0u, 4u));
INSTANTIATE_TEST_SUITE_P(Readers, ScanRace, ::testing::Values(0u, 4u));

}  // namespace
