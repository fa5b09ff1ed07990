#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "view/PackDropData.h"

using namespace view_test;

namespace {

// Which rows start a drag: the view widget's test.
TEST(PackDropData, ListsThePackFilesAsUrlsOfTheirRawBytes) {
    ListFixture t;
    // A name that is not valid UTF-8 (byte 0xFF) keeps its byte in the URL.
    auto raw = CPackItem::Create(9, zel::DecodeFileName("/a b/\xff%#.txt"), 1);
    t.doc.root.AppendChild(raw);
    CPackItem* odd = raw.get();
    CPackItem* jp = AddFile(t.doc.root, "/日本/x~_-.y", 1);
    t.doc.packs.resize(2);
    t.doc.packs[0].items = {odd, jp};
    EXPECT_EQ(MakePackDropData(t.doc, 0),
              "file:///a%20b/%FF%25%23.txt\r\n"
              "file:///%E6%97%A5%E6%9C%AC/x~_-.y\r\n");
    EXPECT_EQ(MakePackDropData(t.doc, 1), "");  // an empty pack: an empty list
    EXPECT_EQ(MakePackDropData(t.doc, 2), std::nullopt);
}

}  // namespace
