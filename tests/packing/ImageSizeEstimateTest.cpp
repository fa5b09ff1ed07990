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
    // The fixed structures of a UDF bridge weigh most in a small image.
    {"twenty small files", 4, 2, 20, [](int i) { return i * 97ull; }, false},
    {"awkward names in deep folders", 40, 12, 600, [](int i) { return i * 131ull % 90000; }, true},
    // 100,000 files agree to the block as well, but xorrisofs alone takes half a
    // minute on them.
    {"five thousand small files", 100, 3, 5000, [](int i) { return 1 + i * 37ull % 6000; }, false},
};

// Names of length characters from count after first, which the ISO tree
// has no room for: all of them map to one ISO name and the image maker numbers
// them. U+DC80 stands for the bytes that are not UTF-8.
struct Script {
    const char* what;
    char32_t first;
    int count, length;
};

std::u16string ClashingName(const Script& script, int i) {
    std::u16string name;
    for (int k = 0; k < script.length; ++k, i /= script.count) {
        const char32_t c = script.first + static_cast<char32_t>(i % script.count);
        if (c > 0xFFFF) name += static_cast<char16_t>(0xD7C0 + (c >> 10));  // a surrogate pair
        name += static_cast<char16_t>(c > 0xFFFF ? 0xDC00 + (c & 0x3FF) : c);
    }
    return name + u".jpg";
}

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
        EXPECT_LE(static_cast<double>(udf.Blocks()), withUdf * 1.005);
    }
    EXPECT_GT(udfCompared, 0);
}

// The image maker lengthens clashing names by more digits the more there are,
// folders too, also in Joliet, where a character beyond UCS-2 is one "_".
TEST(ImageSizeEstimate, ClashingNamesNeverBelowXorrisofs) {
    if (std::system("command -v xorrisofs >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xorrisofs is not installed (scripts/install-deps.sh)";
    const Script scripts[] = {
        {"Latin letters with accents", 0xC0, 64, 3},
        {"kanji", 0x6F22, 400, 4},
        {"Cyrillic", 0x410, 64, 3},
        {"Arabic", 0x628, 19, 4},
        {"emoji", 0x1F600, 80, 3},
        {"bytes that are not UTF-8", 0xDC80, 128, 2},
    };
    // A folder of 10 and one of 2,000 in each script, then 8,000 kanji.
    for (int r = 0; r < 7; ++r) {
        const Script& script = scripts[r < 6 ? r : 1];
        const std::vector<int> counts = r < 6 ? std::vector<int>{10, 2000} : std::vector<int>{8000};
        SCOPED_TRACE(std::string(script.what) + ", " + std::to_string(counts.back()));
        TempDir tmp;
        CImageSizeEstimate estimate;
        for (size_t f = 0; f < counts.size(); ++f) {
            // The folders' own names clash too.
            const std::u16string folder = ClashingName(script, static_cast<int>(f));
            MakeDir(tmp / zel::EncodeFileName(folder));
            for (int i = 0; i < counts[f]; ++i) {
                const std::u16string rel = folder + u"/" + ClashingName(script, i);
                MakeSparseFile(tmp / zel::EncodeFileName(rel), 1);
                estimate.AddFile(u"/T/" + rel, 1);
            }
        }
        const long long real = PrintSize(tmp.Path());
        ASSERT_GT(real, 0);
        EXPECT_GE(static_cast<long long>(estimate.Blocks()), real);
        EXPECT_LE(static_cast<double>(estimate.Blocks()), real * 1.02);
    }
}

// Items hold most names a byte per character: such a name must cost what it
// costs in UTF-16, clashes, cut Joliet names and accented letters included.
TEST(ImageSizeEstimate, NamesHeldNarrowCostWhatTheirUtf16Costs) {
    std::vector<std::u16string> names;
    for (int i = 0; i < 400; ++i) {
        const std::string ascii = Awkward(i);
        if (i % 6 == 0 || i % 6 == 2) {  // Japanese or bytes that are not UTF-8: stay wide
            names.push_back(ClashingName({"Latin", 0xC0, 64, 3}, i));
        } else {
            names.push_back(std::u16string(ascii.begin(), ascii.end()));
        }
    }
    // Joliet keeps 103 characters: each pair of folders clashes there, and
    // only there; the digits it gets lengthen the path tables by blocks.
    const size_t files = names.size();
    for (int k = 0; k < 600; ++k) {
        const std::string digits = std::to_string(1000 + k).substr(1);
        const std::u16string name =
            std::u16string(100, u'j') + std::u16string(digits.begin(), digits.end());
        names.push_back(name);
        names.push_back(name + u"x");
    }
    // The ISO tree keeps a file's last dot and maps every other mark to "_":
    // each pair is told apart only by that dot, and otherwise grows by digits.
    const size_t folders = names.size();
    for (int k = 0; k < 600; ++k) {
        const std::string stem = "d" + std::to_string(k);
        for (const std::string& name : {stem + ".x", stem + "_x"})
            names.push_back(std::u16string(name.begin(), name.end()));
    }
    std::vector<std::string> narrow;
    for (const std::u16string& name : names) {
        ASSERT_TRUE(ItemText::FitsNarrow(name));
        narrow.emplace_back(name.begin(), name.end());
    }
    const auto held = [](const std::string& bytes) {
        return ItemText::Narrow(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    };
    for (const bool udf : {false, true}) {
        CImageSizeEstimate wide(udf);
        CImageSizeEstimate bytes(udf);
        const uint32_t wideFolder = wide.AddFolder(CImageSizeEstimate::kRoot, names[1]);
        const uint32_t bytesFolder = bytes.AddFolder(CImageSizeEstimate::kRoot, held(narrow[1]));
        for (size_t i = files; i < folders; ++i) {
            wide.AddFolder(CImageSizeEstimate::kRoot, names[i]);
            bytes.AddFolder(CImageSizeEstimate::kRoot, held(narrow[i]));
        }
        for (size_t i = folders; i < names.size(); ++i) {
            wide.AddFileTo(CImageSizeEstimate::kRoot, names[i], 1);
            bytes.AddFileTo(CImageSizeEstimate::kRoot, held(narrow[i]), 1);
        }
        for (size_t i = 0; i < files; ++i) {
            wide.AddFileTo(i % 2 ? wideFolder : CImageSizeEstimate::kRoot, names[i], i * 4099);
            bytes.AddFileTo(i % 2 ? bytesFolder : CImageSizeEstimate::kRoot, held(narrow[i]),
                            i * 4099);
        }
        EXPECT_EQ(bytes.Blocks(), wide.Blocks());
    }
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(CImageSizeEstimate::FileCost(held(narrow[i]), 5),
                  CImageSizeEstimate::FileCost(names[i], 5));
    }
}
