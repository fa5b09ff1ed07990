#include "intake/InventoryReader.h"

#include <unistd.h>

#include <cerrno>

#include "ScanTestSupport.h"

using scan_test::Preset;

namespace {

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
         {"4096\t/nas/photos", "10\t/nas/photos/b.jpg", "4096\t/nas/photos/2020",
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
        "99999999999999999999\t/a/overflow\n"
        "2\t/a/../up\n"
        "3\t/a/" +
        std::string(300, 'l') +
        "\n"
        "4\t/b/y\r\n"
        "\n"
        "5\t\n");
    reader.Finish();
    EXPECT_EQ(Committed(reader), (std::vector<std::string>{"/a/", "/a/x=1", "/b/", "/b/y=4"}));
    std::vector<uint64_t> numbers;
    for (const InventoryProblem& p : reader.Problems())
        numbers.push_back(p.record);
    EXPECT_EQ(numbers, (std::vector<uint64_t>{2, 3, 4, 5, 6, 9}));
    EXPECT_NE(reader.Problems()[0].text.find("/a/bad size"), std::string::npos);
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
