#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "TestSupport.h"
#include "model/ItemText.h"
#include "model/PackItem.h"

using testing_support::U;

namespace {

// Views a literal: it outlives the test.
ItemText Narrow(const char* latin1) {
    return ItemText::Narrow(reinterpret_cast<const unsigned char*>(latin1), std::strlen(latin1));
}

}  // namespace

// A text held a byte per unit must read exactly as the same text held in
// UTF-16: equal, ordered, hashed and cut alike, or lookups and orders would
// depend on how a name happened to be held.
TEST(ItemText, EitherWidthReadsAsTheSameUtf16) {
    const std::u16string wide = u"Caf\u00e9/x";
    const ItemText narrow = Narrow("Caf\xe9/x");
    EXPECT_TRUE(ItemText::FitsNarrow(wide));
    EXPECT_FALSE(ItemText::FitsNarrow(U("写真")));
    EXPECT_FALSE(ItemText::FitsNarrow(u"\xdc80"));  // an escaped byte stays wide
    EXPECT_EQ(narrow, ItemText(wide));
    EXPECT_EQ(narrow.Compare(wide), 0);
    EXPECT_EQ(std::hash<ItemText>()(narrow), std::hash<ItemText>()(ItemText(wide)));
    EXPECT_EQ(narrow.ToString(), wide);
    EXPECT_EQ(narrow.rfind(u'/'), 4u);
    EXPECT_EQ(narrow.substr(5), ItemText(u"x"));
    EXPECT_EQ(narrow.substr(0, 4).ToString(), u"Caf\u00e9");

    // Order by unit value across widths, with and without case.
    EXPECT_LT(Narrow("\xe9"), ItemText(U("あ")));
    EXPECT_LT(ItemText(u"Z"), Narrow("a"));
    EXPECT_LT(Narrow("ab"), ItemText(u"abc"));
    EXPECT_EQ(ComparePathsNoCase(Narrow("ABC"), ItemText(u"abc")), 0);
    EXPECT_LT(ComparePathsNoCase(Narrow("\xc9"), ItemText(u"\u00e9")), 0);  // only A-Z fold
    EXPECT_GT(ComparePathsNoCase(ItemText(U("あ")), Narrow("Z")), 0);
}

// Items hold narrow what fits and wide what does not; texts change width when
// an item moves or is trimmed below a folder, in place or not.
TEST(ItemText, ItemsKeepTheirPathsWhateverWidthTheirPartsTake) {
    auto root = CPackFolder::Create(0, u"", 0);
    auto photos = CPackFolder::Create(1, U("/写真"), 0);
    root->AppendChild(photos);
    photos->CreateChild(2, U("/写真/caf\u00e9.jpg"), 1);  // a wide path keeps a narrow name
    photos->CreateNamedChild(3, U("夏.jpg"), 2);
    auto plain = CPackFolder::Create(4, u"/plain", 0);
    root->AppendChild(plain);
    plain->CreateChild(5, U("/plain/冬.png"), 3);
    plain->CreateChild(6, u"/plain/b.txt", 4);
    ASSERT_EQ(photos->children.size(), 2u);
    EXPECT_TRUE(photos->children[0]->GetFileName().IsNarrow());
    EXPECT_EQ(photos->children[0]->GetPath(), U("/写真/caf\u00e9.jpg"));
    EXPECT_EQ(photos->children[0]->GetName(), ItemText(U("caf\u00e9")));
    EXPECT_EQ(photos->children[1]->GetPath(), U("/写真/夏.jpg"));
    EXPECT_EQ(plain->children[0]->GetPath(), U("/plain/冬.png"));

    // Sorted by unit value whatever the width: "b" < "冬".
    plain->SortChildren();
    EXPECT_EQ(plain->children[0]->GetId(), 6u);

    // Moved below a wide folder, a narrow item's whole path goes wide; moved
    // back to the top, both keep their paths.
    CPackItemPtr b = plain->children[0];
    photos->AddChild(b);
    EXPECT_EQ(b->GetPath(), U("/plain/b.txt"));
    CPackItemPtr cafe = photos->children[0];
    root->AppendChild(cafe);
    EXPECT_EQ(cafe->GetPath(), U("/写真/caf\u00e9.jpg"));
    EXPECT_EQ(cafe->GetName(), ItemText(U("caf\u00e9")));

    // The fields copied over another item carry the text and its width.
    auto copy = CPackItem::Create(7, U("/長い名前のファイル.txt"), 0);
    copy->AssignFields(*photos->children[1]);
    EXPECT_EQ(copy->GetPath(), U("/写真/夏.jpg"));
    copy->AssignFields(*cafe);
    EXPECT_EQ(copy->GetPath(), U("/写真/caf\u00e9.jpg"));
}
