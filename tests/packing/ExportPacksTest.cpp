#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <memory>

#include "PackTestSupport.h"
#include "packing/PackExporter.h"
#include "packing/SplitPackWork.h"
#include "support/FaultyFileSystem.h"
#include "support/TextCodec.h"

using namespace packing_test;

namespace {

// One tab-separated line per file in pack order, numbers in full. The command
// line's tests cover names that are not UTF-8, the empty export and failed ones.
TEST(ExportPacks, WritesOneTabSeparatedLinePerFileWithNumbersInFull) {
    testing_support::TempDir dir;
    CCorvelinDoc doc;
    CPackFolder* x = AddFolder(doc.root, "/x");
    AddFile(*x, "/x/a.bin", 1000, doc.NewGroup());
    AddFile(*x, "/x/caf\u00e9.bin", 7);
    AddFile(doc.root, "/y.txt", 20);
    AddFile(*AddFolder(doc.root, "/z"), "/z/b.bin", 30);
    AddFile(doc.root, "/写真/大きい.iso", 5000000000ull);
    ASSERT_TRUE(doc.Pack(4700000000ull));
    // Placed by hand: such a group number is beyond what a run accepts, and
    // the largest an item holds.
    CPackItem* huge = AddFile(doc.root, "/huge", ~0ull, 0xFFFFFFFEull);
    doc.packs.push_back(PackBin{~0ull, {huge}});
    std::string message = "stale";
    ASSERT_TRUE(doc.ExportPacks(dir / "out.csv", message));
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(testing_support::ReadFile(dir / "out.csv"),
              "/写真/大きい.iso\t5000000000\t\t1\t\r\n"
              "/x/a.bin\t1000\t1\t2\t\r\n"
              "/x/caf\xC3\xA9.bin\t7\t\t2\t\r\n"
              "/y.txt\t20\t\t2\t\r\n"
              "/z/b.bin\t30\t\t2\t\r\n"
              "/huge\t18446744073709551615\t4294967295\t3\t\r\n");
}

// Large exports are formatted on two threads in runs of packs: the lines come
// out in pack order whatever thread made them, and a write failing midway ends
// both threads with the old file kept.
TEST(ExportPacks, LargeExportsKeepTheirOrderAndFailWhole) {
    testing_support::TempDir dir;
    CCorvelinDoc doc;
    std::vector<CPackFolder*> folders;
    for (int f = 0; f < 300; ++f)
        folders.push_back(AddFolder(doc.root, "/f" + std::to_string(f)));
    for (uint64_t i = 0; i < 60000; ++i) {
        CPackFolder& folder = *folders[(i * 7919) % folders.size()];
        AddFile(folder,
                zel::Utf16ToUtf8(folder.GetPath()) + "/" + std::string(60, 'n') + std::to_string(i),
                1000 + (i * 104729) % 9000, i % 50 == 0 ? doc.NewGroup() : NoGroup);
    }
    ASSERT_TRUE(doc.Pack(100000));
    std::string expected;
    for (size_t k = 0; k < doc.packs.size(); ++k) {
        for (const CPackItem* item : doc.packs[k].items) {
            expected += zel::EncodeFileName(item->GetPath()) + "\t" +
                        std::to_string(item->GetSize()) + "\t" +
                        (item->group == NoGroup ? "" : std::to_string(item->group + 1)) + "\t" +
                        std::to_string(k + 1) + "\t\r\n";
        }
    }
    std::string message;
    ASSERT_TRUE(doc.ExportPacks(dir / "out.tsv", message)) << message;
    ASSERT_EQ(testing_support::ReadFile(dir / "out.tsv"), expected);

    // Work beside the lines comes once for every pack, on the thread that
    // formatted it, numbered as one of the two workers.
    const size_t packCount = doc.packs.size();
    std::unique_ptr<std::atomic<int>[]> calls(new std::atomic<int>[packCount]());
    std::atomic<bool> strayWorker{false};
    CPackExporter beside(doc.packs);
    beside.SetAlongside([&](size_t worker, size_t pack) {
        if (worker >= kPackWorkers) strayWorker = true;
        ++calls[pack];
    });
    ASSERT_TRUE(beside.Export(dir / "beside.tsv", message, zel::IFileSystem::Default()));
    EXPECT_EQ(testing_support::ReadFile(dir / "beside.tsv"), expected);
    EXPECT_FALSE(strayWorker.load());
    for (size_t k = 0; k < packCount; ++k)
        ASSERT_EQ(calls[k].load(), 1) << "pack " << k;

    testing_support::FaultyFileSystem fs;
    fs.writeError = ENOSPC;
    fs.writesBeforeError = 2;
    EXPECT_FALSE(doc.ExportPacks(dir / "out.tsv", message, fs));
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(testing_support::ReadFile(dir / "out.tsv"), expected);
}

}  // namespace
