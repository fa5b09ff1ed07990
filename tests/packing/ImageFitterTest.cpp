// Packing against images ends for any shape of tree, and leaves over its
// medium only a pack that holds one entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PackTestSupport.h"
#include "packing/ImageFitter.h"
#include "packing/PackImageSizes.h"

using namespace packing_test;

namespace {

// Fits doc to goal; every pack of more than one entry fits, and the images
// given are the packs' estimates with the files at their bytes again.
CImageFitter Fit(CCorvelinDoc& doc, const ImageFitGoal& goal) {
    CImageFitter fitter(doc, goal);
    EXPECT_TRUE(fitter.Run([&](uint64_t limit) {
        EXPECT_GT(limit, 0u);
        return doc.Pack(limit);
    }));
    std::vector<uint64_t> images = EstimatePackImages(doc.root, doc.packs, false);
    for (uint64_t& image : images)
        image += goal.extraPerImage;
    EXPECT_EQ(fitter.Images(), images);
    for (size_t k = 0; k < doc.packs.size(); ++k) {
        if (!CImageFitter::SingleEntry(doc.packs[k])) {
            EXPECT_LE(images[k], goal.target) << "pack " << k + 1;
        }
    }
    return fitter;
}

}  // namespace

// Each file's own folder makes most of each image: a run packed by what the
// files add overfills every pack several times over.
TEST(ImageFitter, EveryPackOfManyEntriesFitsWhateverTheShape) {
    const struct {
        const char* what;
        uint64_t target;
        int folders, files;
        uint64_t size;
    } shapes[] = {
        {"20,000 folders of one file at 40M", 40'000'000, 20'000, 20'000, 1000},
        {"one-byte files each in a folder, a tenth of a CD", 68'198'400, 30'000, 30'000, 1},
        {"many files in few folders", 10'000'000, 4, 3'000, 7'000},
    };
    for (const auto& shape : shapes) {
        SCOPED_TRACE(shape.what);
        CCorvelinDoc doc;
        std::vector<CPackFolder*> folders;
        for (int f = 0; f < shape.folders; ++f)
            folders.push_back(AddFolder(doc.root, "/top/folder " + std::to_string(f)));
        for (int i = 0; i < shape.files; ++i) {
            const int f = i % shape.folders;
            AddFile(*folders[static_cast<size_t>(f)],
                    "/top/folder " + std::to_string(f) + "/f" + std::to_string(i), shape.size);
        }
        const CImageFitter fitter = Fit(doc, {shape.target, false, 0, {}});
        EXPECT_LE(fitter.Runs(), 4);
        EXPECT_GE(doc.packs.size(), 2u);
        uint64_t bytes = 0;  // the packs count bytes again
        for (const PackBin& pack : doc.packs)
            bytes += pack.used;
        EXPECT_EQ(bytes, shape.size * static_cast<uint64_t>(shape.files));
    }
}

// A group, or a file, whose own image exceeds the medium is the only thing
// left over. The bytes each image carries beyond the files count against the
// medium; a run that does not complete ends the fitting.
TEST(ImageFitter, OnlyAnEntryTooLargeForTheMediumStaysOver) {
    CCorvelinDoc doc;
    const uint64_t target = 2'000'000;
    CPackFolder* group = AddFolder(doc.root, "/g");
    for (int i = 0; i < 3; ++i)
        AddFile(*group, "/g/part" + std::to_string(i), 900'000, 0);
    doc.groupCount = 1;
    AddFile(doc.root, "/huge.bin", 3'000'000);
    CPackFolder* rest = AddFolder(doc.root, "/rest");
    for (int i = 0; i < 500; ++i)
        AddFile(*rest, "/rest/" + std::to_string(i), 5000);
    const std::vector<uint64_t> images = Fit(doc, {target, false, 0, {}}).Images();
    EXPECT_EQ(std::count_if(images.begin(), images.end(), [&](uint64_t i) { return i > target; }),
              2);
    const size_t packs = doc.packs.size();
    Fit(doc, {target, false, 400'000, {}});
    EXPECT_GT(doc.packs.size(), packs);
    CImageFitter cancelled(doc, {target, false, 0, {}});
    EXPECT_FALSE(cancelled.Run([](uint64_t) { return false; }));
    EXPECT_EQ(cancelled.Runs(), 1);
}
