#include "support/ZelText.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

using testing_support::U;

TEST(ZelText, WideToUtf8) {
    std::string out = "stale";
    const std::u16string text = U("日本語abc");
    zel::WideToUtf8(out, text.data(), static_cast<int>(text.size()));
    EXPECT_EQ(out, "日本語abc");
    EXPECT_EQ(out.size(), 3u * 3 + 3);  // three bytes per BMP character above U+07FF
    zel::WideToUtf8(out, text.data(), 2);
    EXPECT_EQ(out, "日本");
    zel::WideToUtf8(out, text.data(), 0);
    EXPECT_EQ(out, "");
    out = "stale";
    zel::WideToUtf8(out, text.data(), -1);
    EXPECT_EQ(out, "");

    const std::u16string emoji = U("😀");  // a surrogate pair cut in half
    zel::WideToUtf8(out, emoji.data(), 1);
    EXPECT_EQ(out, "\xEF\xBF\xBD");
    EXPECT_EQ(zel::WideToUtf8(emoji), "😀");
}

TEST(ZelText, AnsiToWideDecodesUtf8) {
    std::u16string out = u"unchanged";
    zel::AnsiToWide(out, "abc", 0);
    EXPECT_EQ(out, u"unchanged");
    const std::string bytes = "パターン\xFF*.txt";
    zel::AnsiToWide(out, bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(out, U("パターン") + u"\uFFFD*.txt");
    zel::AnsiToWide(out, bytes.data(), 3);
    EXPECT_EQ(out, U("パ"));
    EXPECT_EQ(zel::AnsiToWide("x\xE3\x83"), u"x\uFFFD\uFFFD");
}

TEST(ZelText, QuotingAndEscaping) {
    std::u16string t = u"\"";
    zel::QuoteText(t);
    EXPECT_EQ(t, u"\"\"\"");
    t = u"\"";
    zel::UnquoteText(t);
    EXPECT_EQ(t, u"\"");

    t = u"\"already\"";
    zel::QuoteText(t);
    EXPECT_EQ(t, u"\"already\"");
    zel::UnquoteText(t);
    EXPECT_EQ(t, u"already");
    zel::QuoteText(t);
    EXPECT_EQ(t, u"\"already\"");
    t = u"";
    zel::QuoteText(t);
    EXPECT_EQ(t, u"\"\"");
    zel::UnquoteText(t);
    EXPECT_EQ(t, u"");
    t = u"\"only one pair\"\"";
    zel::UnquoteText(t);
    EXPECT_EQ(t, u"only one pair\"");

    t = u"C:\\a\\b";
    zel::EscapeBackslashes(t);
    EXPECT_EQ(t, u"C:\\\\a\\\\b");
    zel::UnescapeBackslashes(t);
    EXPECT_EQ(t, u"C:\\a\\b");

    // Any number of write-read cycles gives back the text.
    const std::u16string original = u"\\\\server\\share\\\\\\x\\";
    t = original;
    for (int i = 0; i < 5; ++i) {
        zel::EscapeBackslashes(t);
        zel::UnescapeBackslashes(t);
    }
    EXPECT_EQ(t, original);
    t = u"a\\b";  // a single backslash stays
    zel::UnescapeBackslashes(t);
    EXPECT_EQ(t, u"a\\b");
}

TEST(ZelText, ReplaceAll) {
    EXPECT_EQ(zel::ReplaceAll(u"aaaa", u"aa", u"b"), u"bb");
    EXPECT_EQ(zel::ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
    EXPECT_EQ(zel::ReplaceAll(u"a.b.c", u".", u"::"), u"a::b::c");
    EXPECT_EQ(zel::ReplaceAll(u"abc", u"", u"x"), u"abc");
    EXPECT_EQ(zel::ReplaceAll(u"abc", u"b", u""), u"ac");
    EXPECT_EQ(zel::ReplaceAll(u"", u"b", u"x"), u"");
    EXPECT_EQ(zel::ReplaceAll(u"xx", u"x", u"xx"), u"xxxx");  // replacements are not rescanned
}

TEST(ZelText, TrimSpacesRemovesOnlySpaces) {
    std::u16string w = u"   ";
    zel::TrimSpaces(w);
    EXPECT_EQ(w, u"");
    w = u"\t a b \t ";
    zel::TrimSpaces(w);
    EXPECT_EQ(w, u"\t a b \t");
    w = U("　全角　 ");
    zel::TrimSpaces(w);
    EXPECT_EQ(w, U("　全角　"));

    std::string n = "  key = value  ";
    zel::TrimSpaces(n);
    EXPECT_EQ(n, "key = value");
    n = "\tx";
    zel::TrimSpaces(n);
    EXPECT_EQ(n, "\tx");
    n = " ";
    zel::TrimSpaces(n);
    EXPECT_EQ(n, "");
}
