// Name patterns and the two filter kinds, as case tables; the scan tests cover
// a preset's verdict.

#include <gtest/gtest.h>

#include <vector>

#include "intake/AttrImportFilter.h"
#include "intake/FileNameImportFilter.h"
#include "intake/WildcardMatch.h"
#include "support/TextCodec.h"

namespace {

FindData Entry(std::u16string name, uint32_t attributes = kAttrArchive) {
    return FindData{std::move(name), attributes, 0};
}

// "*.*" matches every name, other patterns need their dot; each pattern of a
// list loses the blanks at both its ends; lists fold ASCII case only; "?" is
// exactly one unit; stars backtrack, and a trailing star matches nothing once
// the name is used up; an empty pattern matches only the empty name.
TEST(MatchesAnyPatternTest, Cases) {
    // Each case is "name|patterns".
    const std::vector<std::u16string> matching{u"README|*.*",
                                               u"a.b.c|*.*",
                                               u"README|  *.*",
                                               u"R.x|*.*x",
                                               u"photo.JPEG|*.png; *.jpeg",
                                               u"Photo.png|*.PNG;*.jpeg",
                                               u"日本語.TXT|日本*.txt",
                                               u"ab.c|a?.c",
                                               u"abcabcabd|*abd",
                                               u"mississippi|m*iss*ppi",
                                               u"x|***",
                                               u"photo|photo*",
                                               u"abc|a*?",
                                               u"|",
                                               u"a|;a",
                                               u"a.png|*.png ;*.gif",
                                               u"b.jpg|*.jpg ; *.png",
                                               u"README|*.* "};
    const std::vector<std::u16string> failing{
        u"README|*.?*", u"READMEx|*.*x", u"photo.gif|*.png; *.jpeg", u"a |a ", u"Ａ.txt|ａ.txt",
        u"a.c|a?.c",    u"abb.c|a?.c",   u"mississippi|m*iss*ppx",   u"a|a*?", u"a|",
        u"a|;"};
    for (const auto* cases : {&matching, &failing}) {
        for (const std::u16string& c : *cases) {
            const size_t bar = c.find(u'|');
            EXPECT_EQ(MatchesAnyPattern(c.substr(0, bar), c.substr(bar + 1)), cases == &matching)
                << zel::Utf16ToUtf8(c);
        }
    }
    // A pathological pattern finishes quickly.
    EXPECT_FALSE(
        MatchesAnyPattern(std::u16string(4000, u'a'), u"*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(ImportFilterTest, NameAndAttributeFiltersMatchAndDescribe) {
    // A name pattern folds case whatever its flag says.
    EXPECT_TRUE(CFileNameImportFilter(u"*.txt;*.doc", 0).Match(Entry(u"report.DOC")));

    // Wanted bits, function, the entry's bits, match: equal looks at the four
    // bits only, contains needs every wanted bit, other functions never match.
    const uint32_t attrCases[][4] = {{0, 0, kAttrDirectory | 0x800, 1},
                                     {0, 0, kAttrArchive, 0},
                                     {0x22, 0, 0x32, 1},
                                     {0x22, 0, 0x23, 0},
                                     {0x02, 1, 0x03, 1},
                                     {0x02, 1, 0x21, 0},
                                     {0, 1, 0, 1},
                                     {0, 2, 0, 0}};
    for (const auto& c : attrCases)
        EXPECT_EQ(CAttrImportFilter(c[0], c[1]).Match(Entry(u"f", c[2])), c[3] != 0)
            << c[0] << " " << c[1] << " " << c[2];
    EXPECT_EQ(CAttrImportFilter(0x27, 0).Describe(), u"ファイル属性が「rahs」と一致する");
}

}  // namespace
