// After a run, the window tells of packs whose image exceeds the medium once,
// and offers a run against the images only where one can help.
#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "support/TextCodec.h"
#include "view/ImageFitOffer.h"

using namespace view_test;

namespace {

TEST(ImageFitOffer, CountsThePacksOverTheMediumAndOffersARunWhereItHelps) {
    CCorvelinDoc doc;
    CPackItem* a = AddFile(doc.root, "/a", 1);
    CPackItem* b = AddFile(doc.root, "/b", 1);
    CPackItem* c = AddFile(doc.root, "/c", 1);
    CPackItem* d = AddFile(doc.root, "/d", 1);
    c->group = d->group = 0;
    PackBin two{2, {a, b}}, group{2, {c, d}}, one{1, {a}};
    struct Case {
        const char* what;
        std::vector<PackBin> packs;
        std::vector<uint64_t> images;
        bool fitted;
        size_t over;
        bool offer;
        const char* text;
    } cases[] = {
        {"all fit", {two, group}, {100, 100}, false, 0, false, ""},
        {"files of no group over",
         {two, group, one},
         {101, 101, 100},
         false,
         2,
         true,
         "2 個のパックのイメージがメディアの容量を超えています。\n"
         "イメージサイズに合わせてパックし直しますか？"},
        {"one group, one file",
         {group, one},
         {101, 101},
         false,
         2,
         false,
         "2 個のパックのイメージがメディアの容量を超えています。\n"
         "1 つのファイルまたはグループだけで容量を超えるため、これ以上分けられません。"},
        {"already against the images", {two}, {101}, true, 1, false, nullptr},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const ImageFitOffer offer = MakeImageFitOffer(k.packs, k.images, 100, k.fitted);
        EXPECT_EQ(offer.overPacks, k.over);
        EXPECT_EQ(offer.offerRefit, k.offer);
        if (k.text) {
            EXPECT_EQ(zel::Utf16ToUtf8(offer.text), k.text);
        }
    }
}

// The image column belongs to the packs alone; the frame ends at the last
// column shown.
TEST(ListColumns, TheImageColumnIsThePackedListsOnly) {
    EXPECT_FALSE(ColumnShown(ListMode::Editable, ColumnImage));
    EXPECT_TRUE(ColumnShown(ListMode::Packed, ColumnImage));
    EXPECT_TRUE(ColumnShown(ListMode::Editable, ColumnRate));
    EXPECT_EQ(LastShownColumn(ListMode::Editable), ColumnRate);
    EXPECT_EQ(LastShownColumn(ListMode::Packed), ColumnImage);
    EXPECT_EQ(ModeOfRow(RowKind::PackItem), ListMode::Packed);
    EXPECT_EQ(ModeOfRow(RowKind::Folder), ListMode::Editable);
}

}  // namespace
