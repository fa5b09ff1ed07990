#include "support/ZelText.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

using testing_support::U;

namespace {

// Each case: the function, its input, what it gives.
TEST(ZelText, UnquoteUnescapeAndTrim) {
    struct Case {
        void (*apply)(std::u16string&);
        std::u16string in, out;
    };
    const Case cases[] = {
        {zel::UnquoteText, u"\"", u"\""},
        {zel::UnquoteText, u"\"\"", u""},
        {zel::UnquoteText, u"\"only one pair\"\"", u"only one pair\""},
        {zel::EscapeBackslashes, u"C:\\a\\b", u"C:\\\\a\\\\b"},
        {zel::UnescapeBackslashes, u"C:\\\\a\\\\b", u"C:\\a\\b"},
        {zel::UnescapeBackslashes, u"a\\b", u"a\\b"},  // a single backslash stays
        {zel::TrimSpaces, u"   ", u""},
        {zel::TrimSpaces, u"\t a b \t ", u"\t a b \t"},
        {zel::TrimSpaces, U("　全角　 "), U("　全角　")},
    };
    for (const Case& c : cases) {
        std::u16string t = c.in;
        c.apply(t);
        EXPECT_EQ(t, c.out);
    }
}

}  // namespace
