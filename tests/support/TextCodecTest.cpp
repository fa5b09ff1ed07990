#include "support/TextCodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, FileNamesKeepEveryByteAndValidTextDecodesNormally) {
    // Every byte that cannot start a valid sequence, alone and between text.
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string name = "a" + std::string(1, static_cast<char>(b)) + "z";
        const std::u16string text = zel::DecodeFileName(name);
        ASSERT_EQ(text.size(), 3u) << b;
        EXPECT_EQ(text[1], static_cast<char16_t>(0xDC00 + b)) << b;
        EXPECT_EQ(zel::EncodeFileName(text), name) << b;
    }
    // Truncated, overlong, surrogate and out-of-range sequences keep their bytes.
    for (const std::string bytes : {"\xE3\x81", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                    "\xF4\x90\x80\x80", "\xF0\x9F\x98", "ok\xFF\xFE/x"})
        EXPECT_EQ(zel::EncodeFileName(zel::DecodeFileName(bytes)), bytes);
    // Four-byte characters become surrogate pairs and back.
    const std::pair<std::string, std::u16string> cases[] = {
        {"日本語のファイル.txt", u"日本語のファイル.txt"},
        {"\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF", u"\U0001F600 \U0010FFFF"},
        {"\xC2\xA9\xDF\xBF\xE0\xA0\x80", u"\u00A9\u07FF\u0800"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(zel::DecodeFileName(bytes), text);
        EXPECT_EQ(zel::Utf8ToUtf16(bytes), text);
        EXPECT_EQ(zel::EncodeFileName(text), bytes);
        EXPECT_EQ(zel::Utf16ToUtf8(text), bytes);
    }
}

TEST(TextCodec, TextAndDisplayUseReplacementCharactersWhereFileNamesKeepBytes) {
    EXPECT_EQ(zel::Utf8ToUtf16("a\xFF"
                               "b\xE3\x81"),
              u"a\uFFFDb\uFFFD\uFFFD");
    // Lone surrogates never reach a text file; escapes give their byte back in a name only.
    EXPECT_EQ(zel::Utf16ToUtf8(u"x\xD800y"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(zel::Utf16ToUtf8(std::u16string(1, 0xDCFF)), "\xEF\xBF\xBD");
    EXPECT_EQ(zel::EncodeFileName(std::u16string(1, 0xDCFF)), "\xFF");
    EXPECT_EQ(zel::EncodeFileName(u"\xD800"), "\xEF\xBF\xBD");
    EXPECT_EQ(zel::EncodeFileName(std::u16string(1, 0xDC10)), "\xEF\xBF\xBD");
    EXPECT_EQ(zel::Utf16ToUtf8(u"ab\xDBFF"), "ab\xEF\xBF\xBD");  // a high surrogate at the end

    const std::u16string text = zel::DecodeFileName("a\xFF\xF0\x9F\x98\x80");
    EXPECT_EQ(zel::ForDisplay(text), u"a\uFFFD\U0001F600");
    EXPECT_EQ(zel::ForDisplayOnOneLine(text + u"\t\n\x7F\x9F\\"),
              u"a\uFFFD\U0001F600\\x09\\x0A\\x7F\\x9F\\");
}

// Eight bytes are tested at once: every byte value at every place of the word
// and of the tail, next to bytes that differ from a tab or a line break by one.
TEST(TextCodec, TabsAndLineBreaksAreFoundAtAnyPlace) {
    EXPECT_FALSE(zel::HasTabOrLineBreak(""));
    for (size_t length = 1; length <= 19; ++length) {
        for (size_t at = 0; at < length; ++at) {
            for (int value = 0; value < 256; ++value) {
                std::string bytes(length, '\x0b');
                if (length > 2) bytes[(at + 1) % length] = '\x08';
                bytes[at] = static_cast<char>(value);
                const bool expected = value == '\t' || value == '\n' || value == '\r';
                ASSERT_EQ(zel::HasTabOrLineBreak(bytes), expected)
                    << "length " << length << ", byte " << value << " at " << at;
            }
        }
    }
}
