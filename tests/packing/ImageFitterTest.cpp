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

struct Shape {
    const char* what;
    uint64_t target;
    int folders;  // each holding files / folders files
    int files;
    uint64_t size;
    int maxRuns;
};

// Each file's own folder makes most of each image; a run packed by what the
// files add overfills every pack several times over.
const Shape kShapes[] = {
    {"20,000 folders of one file at 40M", 40'000'000, 20'000, 20'000, 1000, 4},
    {"one-byte files each in a folder, a tenth of a CD", 68'198'400, 30'000, 30'000, 1, 4},
    {"many files in few folders", 10'000'000, 4, 3'000, 7'000, 4},
};

void ExpectFitted(const CCorvelinDoc& doc, const CImageFitter& fitter, uint64_t target) {
    const std::vector<uint64_t> images = EstimatePackImages(doc.root, doc.packs, false);
    EXPECT_EQ(fitter.Images(), images);
    for (size_t k = 0; k < doc.packs.size(); ++k) {
        if (!CImageFitter::SingleEntry(doc.packs[k])) {
            EXPECT_LE(images[k], target) << "pack " << k + 1;
        }
    }
}

}  // namespace

TEST(ImageFitter, EveryPackOfManyEntriesFitsWhateverTheShape) {
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.what);
        CCorvelinDoc doc;
        CPackFolder* top = AddFolder(doc.root, "/top");
        std::vector<CPackFolder*> folders;
        for (int f = 0; f < shape.folders; ++f)
            folders.push_back(AddFolder(*top, "/top/folder " + std::to_string(f)));
        for (int i = 0; i < shape.files; ++i) {
            const int f = i % shape.folders;
            AddFile(*folders[static_cast<size_t>(f)],
                    "/top/folder " + std::to_string(f) + "/f" + std::to_string(i), shape.size);
        }
        CImageFitter fitter(doc, {shape.target, false, 0});
        std::vector<uint64_t> limits;
        ASSERT_TRUE(fitter.Run([&](uint64_t limit) {
            limits.push_back(limit);
            return doc.Pack(limit);
        }));
        EXPECT_LE(fitter.Runs(), shape.maxRuns);
        for (uint64_t limit : limits)
            EXPECT_GT(limit, 0u);
        EXPECT_GE(doc.packs.size(), 2u);
        ExpectFitted(doc, fitter, shape.target);
        // The packs count bytes again once the run is over.
        uint64_t bytes = 0;
        for (const PackBin& pack : doc.packs)
            bytes += pack.used;
        EXPECT_EQ(bytes, shape.size * static_cast<uint64_t>(shape.files));
    }
}

// A group, or a file, whose own image exceeds the medium is the only thing
// left over: it gets a pack of its own and the rest fits.
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
    CImageFitter fitter(doc, {target, false, 0});
    ASSERT_TRUE(fitter.Run([&](uint64_t limit) { return doc.Pack(limit); }));
    int over = 0;
    for (size_t k = 0; k < doc.packs.size(); ++k) {
        if (fitter.Images()[k] <= target) continue;
        ++over;
        EXPECT_TRUE(CImageFitter::SingleEntry(doc.packs[k])) << "pack " << k + 1;
    }
    EXPECT_EQ(over, 2);
    ExpectFitted(doc, fitter, target);
}

// The bytes each image carries beyond the files count against the medium; a
// cancelled run ends the fitting.
TEST(ImageFitter, CountsExtraBytesPerImageAndStopsWhenARunDoesNotComplete) {
    CCorvelinDoc doc;
    for (int i = 0; i < 200; ++i)
        AddFile(doc.root, "/f" + std::to_string(i), 20'000);
    const uint64_t target = 1'000'000;
    CImageFitter plain(doc, {target, false, 0});
    ASSERT_TRUE(plain.Run([&](uint64_t limit) { return doc.Pack(limit); }));
    const size_t packs = doc.packs.size();
    CImageFitter extra(doc, {target, false, 200'000});
    ASSERT_TRUE(extra.Run([&](uint64_t limit) { return doc.Pack(limit); }));
    EXPECT_GT(doc.packs.size(), packs);
    for (uint64_t image : extra.Images())
        EXPECT_LE(image, target);
    CImageFitter cancelled(doc, {target, false, 0});
    EXPECT_FALSE(cancelled.Run([](uint64_t) { return false; }));
    EXPECT_EQ(cancelled.Runs(), 1);
}
