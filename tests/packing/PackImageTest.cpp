#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <fcntl.h>
#include <unistd.h>

#include "PackTestSupport.h"
#include "packing/DiscPaths.h"
#include "packing/ImageSizeEstimate.h"
#include "packing/PackExporter.h"
#include "packing/PackImageEstimator.h"
#include "packing/PackImageSizes.h"
#include "support/FileSystem.h"

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

// Many packs on two threads, each thread meeting the same folders again in
// later packs and new ones halfway through a pack: every estimate must still
// be that of its own files alone.
TEST(PackImage, ManyPacksEachEqualTheirFilesAlone) {
    CCorvelinDoc doc;
    std::vector<CPackFolder*> folders;
    for (int t = 0; t < 2; ++t) {  // two top-level folders with one disc name: "a", "a~2"
        const std::string top = "/t" + std::to_string(t) + "/a";
        CPackFolder* a = AddFolder(doc.root, top);
        for (int f = 0; f < 40; ++f) {
            const std::string path = top + "/Sub folder " + std::to_string(f);
            CPackFolder* sub = AddFolder(*a, path);
            folders.push_back(sub);
            folders.push_back(AddFolder(*sub, path + "/deeper"));
        }
    }
    std::vector<CPackItem*> files;
    std::mt19937 rng(7);
    for (int i = 0; i < 101000; ++i) {  // enough that two threads share the work
        CPackFolder& folder = *folders[rng() % folders.size()];
        files.push_back(AddFile(folder,
                                zel::Utf16ToUtf8(folder.GetPath()) + "/file" +
                                    std::to_string(i % 50) + (i % 3 ? ".dat" : ""),
                                1 + rng() % 5000));
    }
    std::shuffle(files.begin(), files.end(), rng);
    std::vector<PackBin> packs;
    for (size_t i = 0; i < files.size();) {  // packs of 1 to 199 files
        PackBin& pack = packs.emplace_back();
        for (size_t n = 1 + rng() % 199; n > 0 && i < files.size(); --n)
            pack.items.push_back(files[i++]);
    }
    const auto expectAlone = [](const CCorvelinDoc& doc, const std::vector<PackBin>& packs) {
        const std::vector<uint64_t> images = EstimatePackImages(doc.root, packs, true);
        ASSERT_EQ(images.size(), packs.size());
        const CDiscPaths discPaths(doc.root);
        for (size_t k = 0; k < packs.size(); ++k) {
            CImageSizeEstimate byPath(true);
            for (const CPackItem* item : packs[k].items)
                byPath.AddFile(discPaths.DiscPath(*item), item->GetSize());
            ASSERT_EQ(images[k], byPath.Bytes()) << "pack " << k;
        }
        // The same beside an export's lines, on its two threads.
        CPackImageEstimator estimator(doc.root, packs, true);
        CPackExporter exporter(packs);
        exporter.SetAlongside(
            [&estimator](size_t worker, size_t pack) { estimator.Estimate(worker, pack); });
        const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        ASSERT_GE(sink, 0);
        std::string message;
        EXPECT_TRUE(
            exporter.ExportToDescriptor(sink, "null", message, zel::IFileSystem::Default()));
        ::close(sink);
        EXPECT_EQ(estimator.TakeImages(), images);
    };
    expectAlone(doc, packs);

    // A folder per file, more than a thread keeps measured: it starts over
    // between packs.
    CCorvelinDoc perFile;
    CPackFolder* top = AddFolder(perFile.root, "/p");
    packs.clear();
    for (int i = 0; i < 70000; ++i) {
        if (i % 7 == 0) packs.emplace_back();
        const std::string path = "/p/" + std::to_string(i);
        packs.back().items.push_back(AddFile(*AddFolder(*top, path), path + "/f", 1));
    }
    expectAlone(perFile, packs);
}

}  // namespace
