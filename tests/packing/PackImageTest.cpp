#include <gtest/gtest.h>

#include "PackTestSupport.h"
#include "packing/DiscPaths.h"
#include "packing/ImageSizeEstimate.h"
#include "packing/PackImageSizes.h"

using namespace packing_test;

namespace {

// A pack's estimate finds its folders by item; it must come to what the same
// files give at their disc paths, which the xorrisofs comparison checks.
TEST(PackImage, EqualsTheEstimateOfItsFilesAtTheirDiscPaths) {
    CCorvelinDoc doc;
    CPackFolder* a = AddFolder(doc.root, "/x/A");
    CPackFolder* deep = AddFolder(*AddFolder(*a, "/x/A/b"), "/x/A/b/c");
    CPackFolder* other = AddFolder(doc.root, "/y/a");  // the same disc name: "a~2"
    PackBin pack;
    pack.items = {AddFile(*deep, "/x/A/b/c/one.txt", 5000), AddFile(*a, "/x/A/two", 10),
                  AddFile(*deep, "/x/A/b/c/three", 3), AddFile(*other, "/y/a/four", 4),
                  AddFile(doc.root, "/z/dropped.bin", 7)};
    // Enough folders and names that the records fill many blocks.
    for (int f = 0; f < 30; ++f) {
        const std::string path = "/x/A/f" + std::to_string(f);
        CPackFolder* folder = AddFolder(*a, path);
        for (int i = 0; i < 20; ++i)
            pack.items.push_back(
                AddFile(*folder, path + "/" + std::string(60, 'n') + std::to_string(i), 1));
    }
    const CDiscPaths discPaths(doc.root);
    for (bool udf : {false, true}) {
        CImageSizeEstimate byPath(udf);
        for (const CPackItem* item : pack.items)
            byPath.AddFile(discPaths.DiscPath(*item), item->GetSize());
        EXPECT_EQ(EstimatePackImage(discPaths, pack, udf), byPath.Bytes()) << udf;
    }
}

}  // namespace
