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

namespace {

// Names that differ only in letters the ISO tree has no room for, so that all
// of them map to one ISO name and the image maker numbers them.
struct Script {
    const char* what;
    std::vector<std::string> letters;
    int length;  // letters per name
};

std::string Utf8(char32_t c) {
    std::string out;
    if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    return out + static_cast<char>(0x80 | (c & 0x3F));
}

std::vector<std::string> Letters(char32_t from, int count) {
    std::vector<std::string> letters;
    for (int i = 0; i < count; ++i)
        letters.push_back(Utf8(from + static_cast<char32_t>(i)));
    return letters;
}

std::vector<std::string> InvalidBytes() {
    std::vector<std::string> bytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes.emplace_back(1, static_cast<char>(b));
    return bytes;
}

std::string ClashingName(const Script& script, int i) {
    std::string name;
    const int base = static_cast<int>(script.letters.size());
    for (int k = 0; k < script.length; ++k, i /= base)
        name += script.letters[static_cast<size_t>(i % base)];
    return name + ".jpg";
}

}  // namespace

// The image maker lengthens clashing ISO names by more digits the more there
// are (ten names one digit, two thousand ten digits), also in folder names and
// in the Joliet tree, where a character beyond UCS-2 or an invalid byte is one
// "_".
TEST(ImageSizeEstimate, ClashingNamesNeverBelowXorrisofs) {
    if (std::system("command -v xorrisofs >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xorrisofs is not installed (scripts/install-deps.sh)";
    const Script scripts[] = {
        {"Latin letters with accents", Letters(0xC0, 64), 3},
        {"kanji", Letters(0x6F22, 400), 4},
        {"Cyrillic", Letters(0x410, 64), 3},
        {"Arabic", Letters(0x628, 19), 4},
        {"emoji", Letters(0x1F600, 80), 3},
        {"bytes that are not UTF-8", InvalidBytes(), 2},
    };
    struct Row {
        const Script& script;
        std::vector<int> counts;  // a folder of each
    };
    const Row rows[] = {{scripts[0], {10, 2000}}, {scripts[1], {10, 2000}},
                        {scripts[2], {10, 2000}}, {scripts[3], {10, 2000}},
                        {scripts[4], {10, 2000}}, {scripts[5], {10, 2000}},
                        {scripts[1], {8000}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.script.what) + ", " + std::to_string(row.counts.back()));
        TempDir tmp;
        CImageSizeEstimate estimate;
        for (size_t f = 0; f < row.counts.size(); ++f) {
            // The folders' own names clash too.
            const std::string folder = ClashingName(row.script, static_cast<int>(f));
            MakeDir(tmp / folder);
            for (int i = 0; i < row.counts[f]; ++i) {
                const std::string rel = folder + "/" + ClashingName(row.script, i);
                MakeSparseFile(tmp / rel, 1);
                estimate.AddFile(zel::DecodeFileName("/T/" + rel), 1);
            }
        }
        const long long real = PrintSize(tmp.Path());
        ASSERT_GT(real, 0);
        EXPECT_GE(static_cast<long long>(estimate.Blocks()), real);
        EXPECT_LE(static_cast<double>(estimate.Blocks()), real * 1.02);
    }
}
