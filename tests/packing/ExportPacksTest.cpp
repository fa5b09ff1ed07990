#include <gtest/gtest.h>

#include "PackTestSupport.h"

using namespace packing_test;

namespace {

// One tab-separated line per file in pack order, numbers in full. The command
// line's tests cover names that are not UTF-8, the empty export and failed ones.
TEST(ExportPacks, WritesOneTabSeparatedLinePerFileWithNumbersInFull) {
    testing_support::TempDir dir;
    CCorvelinDoc doc;
    AddFile(*AddFolder(doc.root, "/x"), "/x/a.bin", 1000, doc.NewGroup());
    AddFile(doc.root, "/y.txt", 20);
    AddFile(*AddFolder(doc.root, "/z"), "/z/b.bin", 30);
    AddFile(doc.root, "/写真/大きい.iso", 5000000000ull);
    ASSERT_TRUE(doc.Pack(4700000000ull));
    // Placed by hand: such a group number is beyond what a run accepts.
    CPackItem* huge = AddFile(doc.root, "/huge", ~0ull, ~0ull - 1);
    doc.packs.push_back(PackBin{~0ull, {huge}});
    std::string message = "stale";
    ASSERT_TRUE(doc.ExportPacks(dir / "out.csv", message));
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(testing_support::ReadFile(dir / "out.csv"),
              "/写真/大きい.iso\t5000000000\t\t1\t\r\n"
              "/x/a.bin\t1000\t1\t2\t\r\n"
              "/y.txt\t20\t\t2\t\r\n"
              "/z/b.bin\t30\t\t2\t\r\n"
              "/huge\t18446744073709551615\t18446744073709551615\t3\t\r\n");
}

}  // namespace
