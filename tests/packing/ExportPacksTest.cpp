#include <gtest/gtest.h>

#include <cerrno>

#include "PackTestSupport.h"
#include "support/PosixFileSystem.h"

using namespace packing_test;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

// The real file system whose writes fail once a few bytes have gone through.
class FullDiskFileSystem : public zel::PosixFileSystem {
public:
    int WriteAll(int fd, const char* data, size_t size) override {
        if (size > 4) size = 4;
        if (const int error = PosixFileSystem::WriteAll(fd, data, size)) return error;
        return ENOSPC;
    }
};

TEST(ExportPacks, WritesOneTabSeparatedLinePerFile) {
    CCorvelinDoc doc;
    CPackFolder* x = AddFolder(doc.root, "/x");
    AddFile(*x, "/x/a.bin", 1000, doc.NewGroup());
    AddFile(doc.root, "/y.txt", 20);
    AddFile(doc.root, "/写真/大きい.iso", 5000000000ull);
    ASSERT_TRUE(doc.Pack(4700000000ull));

    TempDir dir;
    std::string message = "stale";
    ASSERT_TRUE(doc.ExportPacks(dir / "out.csv", message));
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(ReadFile(dir / "out.csv"),
              "/写真/大きい.iso\t5000000000\t\t1\t\r\n"
              "/x/a.bin\t1000\t1\t2\t\r\n"
              "/y.txt\t20\t\t2\t\r\n");
}

TEST(ExportPacks, WritesOriginalNameBytesAndFullUnsignedNumbers) {
    CCorvelinDoc doc;
    // A name that is not valid UTF-8 lives as escape units and must come back as its bytes.
    const std::string rawName = std::string("/bad\xff\xfe") + "name";
    auto item =
        boost::make_shared<CPackItem>(nextTestId++, zel::DecodeFileName(rawName), ~uint64_t{0});
    item->group = ~uint64_t{0} - 1;
    doc.root.AppendChild(item);
    // Placed by hand: such a group number is beyond what a run accepts.
    doc.packs.push_back(PackBin{~uint64_t{0}, {item.get()}});

    TempDir dir;
    std::string message;
    ASSERT_TRUE(doc.ExportPacks(dir / "raw.csv", message));
    EXPECT_EQ(ReadFile(dir / "raw.csv"),
              rawName + "\t18446744073709551615\t18446744073709551615\t1\t\r\n");
}

TEST(ExportPacks, NoPacksGiveAnEmptyFileAndReplaceOldContents) {
    CCorvelinDoc doc;
    TempDir dir;
    const std::string path = dir / "out.csv";
    testing_support::WriteFile(path, "old contents\r\n");
    std::string message;
    ASSERT_TRUE(doc.ExportPacks(path, message));
    EXPECT_EQ(ReadFile(path), "");

    AddFile(doc.root, "/a", 1);
    ASSERT_TRUE(doc.Pack(10));
    ASSERT_TRUE(doc.ExportPacks(path, message));
    EXPECT_EQ(ReadFile(path), "/a\t1\t\t1\t\r\n");
}

TEST(ExportPacks, FailedWriteKeepsTheOldFileAndExplains) {
    CCorvelinDoc doc;
    for (int i = 0; i < 3000; ++i)
        AddFile(doc.root, "/file" + std::to_string(i), 7);
    ASSERT_TRUE(doc.Pack(1000));

    TempDir dir;
    const std::string path = dir / "out.csv";
    testing_support::WriteFile(path, "previous export\r\n");
    FullDiskFileSystem fs;
    std::string message;
    EXPECT_FALSE(doc.ExportPacks(path, message, fs));
    EXPECT_EQ(ReadFile(path), "previous export\r\n");
    EXPECT_NE(message.find("ファイルに書き込めませんでした。"), std::string::npos) << message;
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find(zel::ErrorText(ENOSPC)), std::string::npos) << message;

    // Nothing but the old file is left in the folder: the temporary file is gone.
    std::vector<zel::DirEntry> entries;
    ASSERT_EQ(fs.ListFolder(dir.Path(), entries), 0);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "out.csv");
}

}  // namespace
