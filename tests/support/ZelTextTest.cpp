#include "support/ZelText.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

using testing_support::U;

TEST(ZelText, QuotingAndEscaping) {
    std::u16string t = u"\"";
    zel::UnquoteText(t);
    EXPECT_EQ(t, u"\"");
    t = u"\"already\"";
    zel::UnquoteText(t);
    EXPECT_EQ(t, u"already");
    t = u"\"\"";
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
}
