#include "support/ZelConfReader.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;
using WidePairs = std::vector<std::pair<std::u16string, std::u16string>>;

class Recorder : public ZelConfReadReceiver {
public:
    bool OnKeyValue(const std::string& key, const std::string& value) override {
        entries.emplace_back(key, value);
        return static_cast<int>(entries.size()) != stopAfter;
    }
    Pairs entries;
    int stopAfter = -1;
};

class WideRecorder : public ZelConfReadReceiverEx {
public:
    bool OnKeyValueW(const std::u16string& key, const std::u16string& value) override {
        entries.emplace_back(key, value);
        return true;
    }
    WidePairs entries;
};

Pairs ParseNarrow(const std::string& text, int stopAfter = -1, bool wide = false) {
    Recorder r;
    r.stopAfter = stopAfter;
    ZelConfReader reader(&r, wide);
    EXPECT_EQ(reader.Parse(text.data(), text.size()), 1);
    return r.entries;
}

WidePairs ParseWide(const std::string& text) {
    WideRecorder r;
    ZelConfReader reader(&r, true);
    EXPECT_EQ(reader.Parse(text.data(), text.size()), 1);
    return r.entries;
}

}  // namespace

TEST(ZelConfReader, SplitsLinesKeysAndValues) {
    const std::pair<std::string, Pairs> cases[] = {
        {"<ImportSettings>\n  Name = \"All files\"  \n</ImportSettings>",
         {{"<ImportSettings>", ""}, {"Name", "\"All files\""}, {"</ImportSettings>", ""}}},
        {"string = a=b = c \n", {{"string", "a=b = c"}}},  // split at the first '=' only
        {"=value\n  word  \nkey=\n", {{"", "value"}, {"word", ""}, {"key", ""}}},
        {"\tkey\t=\t\"v\" ", {{"\tkey\t", "\t\"v\""}}},  // only spaces are trimmed
        {"a=1\r\nb=2\rc=3\n\n\r\r\nd=4", {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}}},
        {";comment=1\n ;not a comment\n;\n", {{";not a comment", ""}}},
        {"", {}},
        {"\xEF\xBB\xBF<ImportSettings>\n", {{"<ImportSettings>", ""}}},  // no mark in the key
        {"\xEF\xBB\xBF;comment\nk=v", {{"k", "v"}}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseNarrow(text), expected) << text;
    EXPECT_EQ(ParseNarrow("a=1\nb=2\nc=3\n", 1), (Pairs{{"a", "1"}}));  // false stops reading
    EXPECT_EQ(ParseNarrow("k = v", -1, true), (Pairs{{"k", "v"}}));     // wide, plain receiver
}

TEST(ZelConfReader, WideModeDecodesUtf8) {
    // Lead bytes of the old double-byte code page are just invalid UTF-8 now.
    EXPECT_EQ(ParseWide("k=\x83\x3D\x83\n"), (WidePairs{{u"k", u"\uFFFD=\uFFFD"}}));
    EXPECT_EQ(ParseWide(std::string("ab\0cd=v", 7)), (WidePairs{{u"ab", u"v"}}));
}
