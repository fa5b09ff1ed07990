#include "view/ImageFitOffer.h"

#include "packing/ImageFitter.h"
#include "support/SizeFormat.h"

ImageFitOffer MakeImageFitOffer(const std::vector<PackBin>& packs,
                                const std::vector<uint64_t>& images, uint64_t medium,
                                bool fittedToImages) {
    ImageFitOffer offer;
    bool divisible = false;
    for (size_t k = 0; k < packs.size() && k < images.size(); ++k) {
        if (images[k] <= medium) continue;
        ++offer.overPacks;
        if (!CImageFitter::SingleEntry(packs[k])) divisible = true;
    }
    if (offer.overPacks == 0) return offer;
    offer.text = UInt64ToString(offer.overPacks) +
                 u" 個のパックのイメージがメディアの容量を超えています。\n";
    offer.offerRefit = divisible && !fittedToImages;
    if (offer.offerRefit) {
        offer.text += u"イメージサイズに合わせてパックし直しますか？";
    } else {
        offer.text +=
            u"1 つのファイルまたはグループだけで容量を超えるため、これ以上分けられません。";
    }
    return offer;
}
