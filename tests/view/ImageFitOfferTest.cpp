// After a run, the window tells of packs whose image exceeds the medium once,
// and offers a run against the images only where one can help.
#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "support/TextCodec.h"
#include "view/ImageFitOffer.h"

using namespace view_test;

TEST(ImageFitOffer, CountsThePacksOverTheMediumAndOffersARunWhereItHelps) {
    CCorvelinDoc doc;
    CPackItem* a = AddFile(doc.root, "/a", 1);
    CPackItem* b = AddFile(doc.root, "/b", 1);
    CPackItem* c = AddFile(doc.root, "/c", 1);
    CPackItem* d = AddFile(doc.root, "/d", 1);
    c->group = d->group = 0;
    const PackBin two{2, {a, b}}, group{2, {c, d}}, one{1, {a}};
    const std::string over = "2 個のパックのイメージがメディアの容量を超えています。\n";
    EXPECT_TRUE(MakeImageFitOffer({two, group}, {100, 100}, 100, false).text.empty());
    const ImageFitOffer mixed = MakeImageFitOffer({two, group, one}, {101, 101, 100}, 100, false);
    EXPECT_TRUE(mixed.offerRefit);
    EXPECT_EQ(zel::Utf16ToUtf8(mixed.text), over + "イメージサイズに合わせてパックし直しますか？");
    const ImageFitOffer alone = MakeImageFitOffer({group, one}, {101, 101}, 100, false);
    EXPECT_FALSE(alone.offerRefit);
    EXPECT_EQ(
        zel::Utf16ToUtf8(alone.text),
        over + "1 つのファイルまたはグループだけで容量を超えるため、これ以上分けられません。");
    // A run against the images has done what it can.
    EXPECT_FALSE(MakeImageFitOffer({two}, {101}, 100, true).offerRefit);
}
