#include <gtest/gtest.h>

#include "PackTestSupport.h"

using namespace packing_test;
using testing_support::ReadFile;

namespace {

// One tab-separated line per file in pack order; names that are not UTF-8 come
// back as their bytes, numbers in full; no packs give an empty file. Failed
// exports are in the rewrite-fault table.
TEST(ExportPacks, WritesOneTabSeparatedLinePerFile) {
    testing_support::TempDir dir;
    const std::string path = dir / "out.csv";
    CCorvelinDoc doc;
    testing_support::WriteFile(path, "old contents\r\n");
    std::string message = "stale";
    ASSERT_TRUE(doc.ExportPacks(path, message));
    EXPECT_EQ(ReadFile(path), "");
    EXPECT_TRUE(message.empty());

    CPackFolder* x = AddFolder(doc.root, "/x");
    AddFile(*x, "/x/a.bin", 1000, doc.NewGroup());
    AddFile(doc.root, "/y.txt", 20);
    AddFile(doc.root, "/写真/大きい.iso", 5000000000ull);
    ASSERT_TRUE(doc.Pack(4700000000ull));
    const std::string rawName = "/bad\xff\xfename";
    auto raw = boost::make_shared<CPackItem>(nextTestId++, zel::DecodeFileName(rawName), ~0ull);
    raw->group = ~0ull - 1;
    doc.root.AppendChild(raw);
    // Placed by hand: such a group number is beyond what a run accepts.
    doc.packs.push_back(PackBin{~0ull, {raw.get()}});
    ASSERT_TRUE(doc.ExportPacks(path, message));
    EXPECT_EQ(ReadFile(path),
              "/写真/大きい.iso\t5000000000\t\t1\t\r\n"
              "/x/a.bin\t1000\t1\t2\t\r\n"
              "/y.txt\t20\t\t2\t\r\n" +
                  rawName + "\t18446744073709551615\t18446744073709551615\t3\t\r\n");
}

}  // namespace
