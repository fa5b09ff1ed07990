#include <gtest/gtest.h>

#include "PackTestSupport.h"
#include "packing/GraftListWriter.h"
#include "support/FileSystem.h"

using packing_test::AddFile;
using packing_test::AddFolder;
using testing_support::ReadFile;
using testing_support::TempDir;

TEST(GraftListWriter, NamesAndLabelsTakeTheDigitsThePackCountNeeds) {
    EXPECT_EQ(CGraftListWriter::ListName(3, 9), "pack03.lst");
    EXPECT_EQ(CGraftListWriter::ListName(7, 100), "pack007.lst");
    EXPECT_EQ(CGraftListWriter::VolumeLabel(12, 1500), "PACK_0012");
    EXPECT_EQ(CGraftListWriter::ImageCommand("it's", 1, 2),
              "xorrisofs -r -J -joliet-long -iso-level 3 -V PACK_01 -o 'it'\\''s/pack01.iso' "
              "-graft-points -path-list 'it'\\''s/pack01.lst'");
}

// Top-level items keep their tree under their own name; clashing names are
// told apart in list order, also against names taken later and across case.
TEST(GraftListWriter, ListsKeepTheTreeAndTellClashingTopLevelNamesApart) {
    CPackFolder root(0, u"", 0);
    CPackFolder* a1 = AddFolder(root, "/x/A");
    CPackFolder* a2 = AddFolder(root, "/y/a");
    std::vector<PackBin> packs(1);
    packs[0].items = {AddFile(*a1, "/x/A/sub/f=1", 10),    AddFile(*a2, "/y/a/g", 20),
                      AddFile(root, "/z/photo.jpg", 30),   AddFile(root, "/w/photo.jpg", 40),
                      AddFile(root, "/v/photo~2.jpg", 50), AddFile(root, "/", 60),
                      AddFile(root, "/u/_Corvelin", 70)};
    CGraftListWriter writer(root, packs);
    std::string list;
    std::vector<std::string> refused;
    ASSERT_TRUE(writer.BuildList(1, list, refused, zel::IFileSystem::Default()));
    EXPECT_EQ(list,
              "/A/sub/f\\=1=/x/A/sub/f\\=1\n"
              "/a~2/g=/y/a/g\n"
              "/photo.jpg=/z/photo.jpg\n"
              "/photo~3.jpg=/w/photo.jpg\n"
              "/photo~2.jpg=/v/photo~2.jpg\n"
              "/root=/\n"
              "/_Corvelin~2=/u/_Corvelin\n");
}

TEST(GraftListWriter, RefusesLineBreaksAndWritesNothing) {
    TempDir tmp;
    CPackFolder root(0, u"", 0);
    std::vector<PackBin> packs(2);
    packs[0].items.push_back(AddFile(root, "/ok", 1));
    packs[1].items.push_back(AddFile(root, "/bad\nname", 1));
    std::string message;
    EXPECT_FALSE(
        CGraftListWriter(root, packs).Write(tmp / "lists", message, zel::IFileSystem::Default()));
    EXPECT_NE(message.find("bad"), std::string::npos);
    EXPECT_EQ(ReadFile(tmp / "lists/pack01.lst"), "");
}
