#include "view/ImageFitOffer.h"

#include "packing/ImageFitter.h"
#include "support/SizeFormat.h"
#include "support/UiText.h"

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
    offer.text = Tr16Format("{count} 個のパックのイメージがメディアの容量を超えています。\n",
                            fmt::arg("count", offer.overPacks));
    offer.offerRefit = divisible && !fittedToImages;
    if (offer.offerRefit) {
        offer.text += Tr16("イメージサイズに合わせてパックし直しますか？");
    } else {
        offer.text +=
            Tr16("1 つのファイルまたはグループだけで容量を超えるため、これ以上分けられません。");
    }
    return offer;
}
