// The estimate against what xorrisofs says the image of the same tree takes.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "TestSupport.h"
#include "packing/ImageSizeEstimate.h"
#include "support/TextCodec.h"

using testing_support::MakeDir;
using testing_support::MakeSparseFile;
using testing_support::TempDir;

namespace {

// Blocks of the image the maker would write for the tree at dir, grafted at /T;
// -1 when it refuses the tree.
long long PrintSize(const std::string& dir, const std::string& maker = "xorrisofs") {
    const std::string command = maker +
                                " -r -J -joliet-long -iso-level 3 -print-size -quiet "
                                "-graft-points '/T=" +
                                dir + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    long long blocks = -1;
    if (std::fscanf(pipe, "%lld", &blocks) != 1) blocks = -1;
    ::pclose(pipe);
    return blocks;
}

struct Shape {
    const char* what;
    int folders;  // below the top, each holding files / folders files
    int depth;    // folders nest this deep in chains
    int files;
    std::function<unsigned long long(int)> size;
    bool awkward;  // plain names otherwise
};

// Japanese, spaces, an invalid UTF-8 byte, names long enough for continuation
// areas and cut Joliet names, and names that clash once upper-cased.
std::string Awkward(int i) {
    const std::string n = std::to_string(i), pair = std::to_string(i / 6);
    const std::string names[] = {"写真 " + n + ".jpg", std::string(120 + i % 90, 'n') + n + ".txt",
                                 "bad\xff" + n,        "Readme" + pair,
                                 "README" + pair,      "a=b\\c " + n + ".tar.gz"};
    return names[i % 6];
}

const Shape kShapes[] = {
    // Files of 4 GiB and more take one record per extent.
    {"ten files", 0, 1, 10,
     [](int i) {
         return i < 3 ? 4294967295ull + static_cast<unsigned>(i) * 3000000000ull : i * 7919ull;
     },
     false},
    {"awkward names in deep folders", 40, 12, 600, [](int i) { return i * 131ull % 90000; }, true},
    // 100,000 files agree to the block as well, but xorrisofs alone takes half a
    // minute on them.
    {"five thousand small files", 100, 3, 5000, [](int i) { return 1 + i * 37ull % 6000; }, false},
};

}  // namespace

TEST(ImageSizeEstimate, NeverBelowAndAtMostOnePercentAboveXorrisofs) {
    if (std::system("command -v xorrisofs genisoimage >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xorrisofs or genisoimage is not installed (scripts/install-deps.sh)";
    int udfCompared = 0;
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.what);
        TempDir tmp;
        std::vector<std::string> folders{""};
        for (int f = 0; f < shape.folders; ++f) {
            // Chains of depth folders, so deep paths occur.
            const std::string parent = f % shape.depth == 0 ? "" : folders.back() + "/";
            folders.push_back(parent + (f % 3 == 0 ? "Folder " : "d") + std::to_string(f));
            MakeDir(tmp / folders.back());
        }
        CImageSizeEstimate estimate, udf(true);
        for (int i = 0; i < shape.files; ++i) {
            const std::string& folder = folders[static_cast<size_t>(i) % folders.size()];
            const std::string name =
                shape.awkward ? Awkward(i) : "file_" + std::to_string(i) + ".dat";
            const std::string rel = (folder.empty() ? "" : folder + "/") + name;
            MakeSparseFile(tmp / rel, shape.size(i));
            estimate.AddFile(zel::DecodeFileName("/T/" + rel), shape.size(i));
            udf.AddFile(zel::DecodeFileName("/T/" + rel), shape.size(i));
        }
        const long long real = PrintSize(tmp.Path());
        ASSERT_GT(real, 0);
        const double blocks = static_cast<double>(estimate.Blocks());
        EXPECT_GE(blocks, real);
        EXPECT_LE(blocks, real * 1.01);
        // xorrisofs makes no UDF: what a UDF bridge adds is what genisoimage's
        // image grows by with -udf. It refuses names that are not UTF-8 and
        // files of 4 GiB there.
        const long long plain = PrintSize(tmp.Path(), "genisoimage");
        const long long bridged = PrintSize(tmp.Path(), "genisoimage -udf");
        if (plain < 0 || bridged < 0) continue;
        ++udfCompared;
        const double withUdf = static_cast<double>(real + bridged - plain);
        EXPECT_GE(static_cast<double>(udf.Blocks()), withUdf);
        EXPECT_LE(static_cast<double>(udf.Blocks()), withUdf * 1.01);
    }
    EXPECT_GT(udfCompared, 0);
}
