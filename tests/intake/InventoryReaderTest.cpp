#include "intake/InventoryReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "ScanTestSupport.h"

using scan_test::Preset;

namespace {

std::string Repeat(const std::string& text, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i)
        out += text;
    return out;
}

// The reader's result handed to a fresh document, as the scan's is.
class InventoryReader : public scan_test::ScanFixture {
protected:
    std::vector<std::string> Committed(CInventoryReader& reader) {
        CCorvelinDoc into;
        const CPackFolderPtr result = reader.TakeResult();
        if (result) into.AddScannedItems(*result, reader.GetNextId());
        return Tree(into);
    }
};

// find DIR -printf '%s\t%p\0' lists the folders too, before their contents;
// records may arrive split anywhere.
TEST_F(InventoryReader, BuildsTheTreeBelowTheFolderThatHoldsEveryRecord) {
    std::string list;
    for (const char* record :
         {"4096\t/nas", "4096\t/nas/photos", "10\t/nas/photos/b.jpg", "4096\t/nas/photos/2020",
          "5\t/nas/photos/2020/a.jpg", "7\t/nas/photos/skip.tmp", "8\t/nas/photos/d.jpg",
          "4096\t/nas/photos/2020"})
        list += std::string(record) + '\0';
    list += "3\t//nas/photos/./c.jpg";  // the last record needs no separator
    for (size_t split : {size_t(0), size_t(5), size_t(40), list.size()}) {
        CInventoryReader reader(Preset({"*.*"}, {"*.tmp"}), '\0', 1);
        reader.Feed(std::string_view(list).substr(0, split));
        reader.Feed(std::string_view(list).substr(split));
        EXPECT_EQ(Committed(reader),
                  (std::vector<std::string>{"/nas/photos/", "/nas/photos/2020/",
                                            "/nas/photos/2020/a.jpg=5", "/nas/photos/b.jpg=10",
                                            "/nas/photos/c.jpg=3", "/nas/photos/d.jpg=8"}))
            << split;
        EXPECT_EQ(reader.ProblemCount(), 0u);
    }
}

TEST_F(InventoryReader, ReportsMalformedRecordsByNumberAndSkipsThem) {
    CInventoryReader reader(Preset({"*"}), '\n', 1);
    reader.Feed(
        "1\t/a/x\n"
        "12a\t/a/bad size\n"
        "no tab\n"
        "9223372036854775808\t/a/above the largest file\n"
        "2\t/a/../up\n"
        "3\t/a/" +
        std::string(300, 'l') +
        "\n"
        "4\t/b/y\r\n"
        "\n"
        "5\t\n"
        "9223372036854775807\t/a/largest\n"
        "9\t/a/" +
        Repeat("日", 1 << 18));
    reader.Finish();
    EXPECT_EQ(Committed(reader), (std::vector<std::string>{"/a/", "/a/largest=9223372036854775807",
                                                           "/a/x=1", "/b/", "/b/y=4"}));
    std::vector<uint64_t> numbers;
    for (const InventoryProblem& p : reader.Problems())
        numbers.push_back(p.record);
    EXPECT_EQ(numbers, (std::vector<uint64_t>{2, 3, 4, 5, 6, 9, 11}));
    EXPECT_EQ(reader.Problems()[0].path, "/a/bad size");
    // A long record keeps only the start of its path, cut where a character ends.
    EXPECT_TRUE(reader.Problems().back().cut);
    EXPECT_EQ(reader.Problems().back().path, "/a/" + Repeat("日", 340));
}

// Records in any order: a folder's own record before or after the records
// below it is that folder; a path listed again is reported by its number and
// the first record is kept, at the top level as below it. Relative paths are
// taken below the working folder, as the command line's are, and refused when
// that folder is gone.
TEST_F(InventoryReader, TakesEachPathOnceAndRelativePathsBelowTheWorkingFolder) {
    const struct {
        std::string workingDir;
        std::vector<std::string> records;
        std::vector<std::string> tree;
        std::vector<uint64_t> refused;
    } cases[] = {
        {"/w",
         {"4096\t/p/d", "1\t/p/z", "2\t/p/d/f", "3\t/p/e/g", "4\t/p/d/f", "4096\t/p/e", "5\t/p/h",
          "6\t/p/h", "4096\t/p/d", "7\t/p/d/f"},
         {"/p/", "/p/d/", "/p/d/f=2", "/p/e/", "/p/e/g=3", "/p/h=5", "/p/z=1"},
         {5, 8, 10}},
        {"/w", {"1\t/a", "2\t/b", "3\t/a"}, {"/a=1", "/b=2"}, {3}},
        {"/w", {"1\tx/a", "2\t/w/x/b", "3\t./x//a"}, {"/w/x/", "/w/x/a=1", "/w/x/b=2"}, {3}},
        {"", {"1\tx/a", "2\t/y/b"}, {"/y/", "/y/b=2"}, {1}},
    };
    for (const auto& c : cases) {
        std::string list;
        for (const std::string& record : c.records)
            list += record + '\n';
        CInventoryReader reader(Preset({"*"}), '\n', 1, c.workingDir);
        reader.Feed(list);
        EXPECT_EQ(Committed(reader), c.tree) << list;
        std::vector<uint64_t> numbers;
        for (const InventoryProblem& p : reader.Problems())
            numbers.push_back(p.record);
        EXPECT_EQ(numbers, c.refused) << list;
    }
}

// Folders come back after thousands of others: each is found again, not made
// twice, however large the table of folders has grown.
TEST_F(InventoryReader, FindsEveryFolderAgainAmongThousands) {
    std::string list;
    for (const char* file : {"a", "b"}) {
        for (int i = 0; i < 3000; ++i)
            list += "1\t/s/" + std::to_string(i) + "/" + file + '\0';
    }
    CInventoryReader reader(Preset({"*"}), '\0', 1);
    reader.Feed(list);
    const std::vector<std::string> tree = Committed(reader);
    EXPECT_EQ(tree.size(), 1u + 3000u * 3u);
    EXPECT_EQ(std::count(tree.begin(), tree.end(), "/s/2999/"), 1);
    EXPECT_EQ(reader.ProblemCount(), 0u);
}

// An interrupt stops a long read between pieces instead of after the list.
TEST_F(InventoryReader, ReadingStopsWhenAskedTo) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::write(fds[1], "1\t/a/x\n", 7), 7);
    ::close(fds[1]);
    CInventoryReader reader(Preset({"*"}), '\n', 1);
    const std::atomic<bool> stop{true};
    int error = 0;
    EXPECT_FALSE(reader.Read(fds[0], error, &stop));
    EXPECT_EQ(error, ECANCELED);
    EXPECT_EQ(reader.Records(), 0u);
    ::close(fds[0]);
}

}  // namespace
