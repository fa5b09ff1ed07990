#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <string>
#include <vector>

#include "intake/FileNameImportFilter.h"
#include "intake/InventoryReader.h"
#include "support/TextCodec.h"

namespace {

CImportSettingsPtr Preset(const char16_t* input, const char16_t* ignore = nullptr) {
    auto settings = boost::make_shared<CImportSettings>();
    settings->inputFilters.push_back(boost::make_shared<CFileNameImportFilter>(input, 0));
    if (ignore)
        settings->ignoreFilters.push_back(boost::make_shared<CFileNameImportFilter>(ignore, 0));
    return settings;
}

// "path size level" of every item in pre-order, folders marked with "/".
void Describe(const CPackItem& item, std::vector<std::string>& out) {
    out.push_back(zel::EncodeFileName(item.GetPath()) + (item.IsFolder() ? "/ " : " ") +
                  std::to_string(item.GetSize()) + " " + std::to_string(item.level));
    if (const CPackFolder* folder = const_cast<CPackItem&>(item).AsFolder()) {
        for (const CPackItemPtr& child : folder->children)
            Describe(*child, out);
    }
}

std::vector<std::string> Tree(const CPackFolderPtr& result) {
    std::vector<std::string> out;
    if (result) {
        for (const CPackItemPtr& child : result->children)
            Describe(*child, out);
    }
    return out;
}

}  // namespace

// find DIR -printf '%s\t%p\0' lists the folders too, before their contents;
// records may arrive split anywhere.
TEST(InventoryReader, BuildsTheTreeBelowTheFolderThatHoldsEveryRecord) {
    std::string list;
    for (const char* record :
         {"4096\t/nas/photos", "10\t/nas/photos/b.jpg", "4096\t/nas/photos/2020",
          "5\t/nas/photos/2020/a.jpg", "7\t/nas/photos/skip.tmp"})
        list += std::string(record) + '\0';
    list += "3\t//nas/photos/./c.jpg";  // the last record needs no separator
    for (size_t split : {size_t(0), size_t(5), size_t(40), list.size()}) {
        CInventoryReader reader(Preset(u"*.*", u"*.tmp"), '\0', 1);
        reader.Feed(std::string_view(list).substr(0, split));
        reader.Feed(std::string_view(list).substr(split));
        EXPECT_EQ(Tree(reader.TakeResult()),
                  (std::vector<std::string>{"/nas/photos/ 0 1", "/nas/photos/2020/ 0 2",
                                            "/nas/photos/2020/a.jpg 5 3", "/nas/photos/b.jpg 10 2",
                                            "/nas/photos/c.jpg 3 2"}))
            << split;
        EXPECT_EQ(reader.ProblemCount(), 0u);
    }
}

TEST(InventoryReader, ReportsMalformedRecordsByNumberAndSkipsThem) {
    CInventoryReader reader(Preset(u"*"), '\n', 1);
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
    EXPECT_EQ(Tree(reader.TakeResult()),
              (std::vector<std::string>{"/a/ 0 1", "/a/x 1 2", "/b/ 0 1", "/b/y 4 2"}));
    std::vector<uint64_t> numbers;
    for (const InventoryProblem& p : reader.Problems())
        numbers.push_back(p.record);
    EXPECT_EQ(numbers, (std::vector<uint64_t>{2, 3, 4, 5, 6, 9}));
    EXPECT_NE(reader.Problems()[0].text.find("/a/bad size"), std::string::npos);
}
