#include "support/ZelConfReader.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/TextCodec.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Read as the presets file is read, in wide mode; the entries come back as UTF-8.
Pairs Parse(const std::string& text, size_t stopAfter = 0) {
    struct Recorder : ZelConfReadReceiverEx {
        bool OnKeyValueW(const std::u16string& key, const std::u16string& value) override {
            entries.emplace_back(zel::Utf16ToUtf8(key), zel::Utf16ToUtf8(value));
            return entries.size() != stopAfter;
        }
        Pairs entries;
        size_t stopAfter = 0;
    } r;
    r.stopAfter = stopAfter;
    ZelConfReader reader(&r, true);
    reader.Parse(text.data(), text.size());
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
        // Lead bytes of the old double-byte code page are just invalid UTF-8 now.
        {"k=\x83\x3D\x83\n", {{"k", "\uFFFD=\uFFFD"}}},
        {std::string("ab\0cd=v", 7), {{"ab", "v"}}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Parse(text), expected) << text;
    EXPECT_EQ(Parse("a=1\nb=2\nc=3\n", 1), (Pairs{{"a", "1"}}));  // false stops reading
}
