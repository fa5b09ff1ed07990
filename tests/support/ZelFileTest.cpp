#include "support/ZelFile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"

using namespace testing_support;

TEST(ZelFile, WritesAndReadsBack) {
    TempDir dir;
    const std::string path = dir / "f.bin";
    WriteFile(path, "previous longer contents");
    {
        ZelFile file;
        ASSERT_TRUE(file.OpenWrite(path));  // truncates
        EXPECT_EQ(file.Write("0123456789", 10), 10u);
        EXPECT_EQ(file.LastCount(), 10u);
        EXPECT_EQ(file.Tell(), 10u);
    }  // the destructor closes
    EXPECT_EQ(ReadFile(path), "0123456789");

    ZelFile file;
    ASSERT_TRUE(file.OpenRead(path));
    char buf[16] = {};
    EXPECT_EQ(file.Read(buf, 4), 4u);
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_EQ(file.GetRemainingSize(), 6u);
    EXPECT_EQ(file.Tell(), 4u);  // GetRemainingSize does not move
    EXPECT_EQ(file.GetState(), 0u);
    EXPECT_EQ(file.Read(buf, sizeof buf), 6u);
    EXPECT_EQ(std::string(buf, 6), "456789");
    EXPECT_EQ(file.Read(buf, sizeof buf), 0u);  // end of file
    EXPECT_EQ(file.GetRemainingSize(), 0u);

    // The state is the same through either stream interface.
    IZelInputStream& in = file;
    IZelOutputStream& out = file;
    EXPECT_EQ(in.GetState(), 1u);
    EXPECT_EQ(out.GetState(), 1u);
    EXPECT_EQ(out.Write("x", 1), 0u);  // opened for reading only
}

TEST(ZelFile, SeekOrigins) {
    TempDir dir;
    WriteFile(dir / "f", "abcdefghij");
    ZelFile file;
    ASSERT_TRUE(file.OpenRead(dir / "f"));
    EXPECT_EQ(file.Seek(3, 0), 3u);
    EXPECT_EQ(file.Seek(2, 1), 5u);
    EXPECT_EQ(file.Seek(-1, 2), 9u);
    char c = 0;
    EXPECT_EQ(file.Read(&c, 1), 1u);
    EXPECT_EQ(c, 'j');
    EXPECT_EQ(file.Seek(0, 3), 0u);  // unknown origin
    EXPECT_EQ(file.Tell(), 10u);
    EXPECT_EQ(file.Seek(-20, 0), ZelFile::kInvalidPosition);
}

TEST(ZelFile, AClosedFileDoesNothing) {
    TempDir dir;
    ZelFile file;
    EXPECT_FALSE(file.OpenRead(dir / "missing"));
    EXPECT_FALSE(file.IsOpen());
    char buf[4] = {'k', 'e', 'e', 'p'};
    EXPECT_EQ(file.Read(buf, 4), 0u);
    EXPECT_EQ(std::memcmp(buf, "keep", 4), 0);
    EXPECT_EQ(file.Write(buf, 4), 0u);
    EXPECT_EQ(file.Seek(0, 0), ZelFile::kInvalidPosition);
    EXPECT_EQ(file.Tell(), ZelFile::kInvalidPosition);
    EXPECT_EQ(file.GetRemainingSize(), 0u);
    EXPECT_EQ(file.GetState(), 1u);
    EXPECT_FALSE(file.OpenWrite(dir / "no/such/folder"));
}

TEST(ZelFile, OpeningAFifoDoesNotBlock) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    ZelFile file;
    EXPECT_TRUE(file.OpenRead(dir / "fifo"));
    char c;
    EXPECT_EQ(file.Read(&c, 1), 0u);  // no writer: end of file
}
