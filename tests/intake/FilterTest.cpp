#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "intake/AttrImportFilter.h"
#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettings.h"
#include "intake/SameFilter.h"
#include "intake/WildcardMatch.h"

namespace {

FindData Entry(std::u16string name, uint32_t attributes = kAttrArchive) {
    FindData entry;
    entry.fileName = std::move(name);
    entry.attributes = attributes;
    return entry;
}

TEST(MatchesAnyPatternTest, StarDotStarMatchesEveryNameButOtherPatternsNeedTheirDot) {
    EXPECT_TRUE(MatchesAnyPattern(u"README", u"*.*"));
    EXPECT_TRUE(MatchesAnyPattern(u"a.b.c", u"*.*"));
    EXPECT_TRUE(MatchesAnyPattern(u"README", u"  *.*"));
    EXPECT_FALSE(MatchesAnyPattern(u"README", u"*.?*"));
    EXPECT_FALSE(MatchesAnyPattern(u"README", u"*.*x"));
    EXPECT_FALSE(MatchesAnyPattern(u"READMEx", u"*.*x"));
    EXPECT_TRUE(MatchesAnyPattern(u"R.x", u"*.*x"));
}

TEST(MatchesAnyPatternTest, ListsSkipLeadingSpacesAndIgnoreAsciiCase) {
    EXPECT_TRUE(MatchesAnyPattern(u"photo.JPEG", u"*.png; *.jpeg"));
    EXPECT_TRUE(MatchesAnyPattern(u"Photo.png", u"*.PNG;*.jpeg"));
    EXPECT_FALSE(MatchesAnyPattern(u"photo.gif", u"*.png; *.jpeg"));
    // Only leading spaces are skipped; a trailing one is part of the pattern.
    EXPECT_FALSE(MatchesAnyPattern(u"a.png", u"*.png ;*.gif"));
    // Folding is ASCII only: a fullwidth letter does not fold.
    EXPECT_FALSE(MatchesAnyPattern(u"Ａ.txt", u"ａ.txt"));
    EXPECT_TRUE(MatchesAnyPattern(u"日本語.TXT", u"日本*.txt"));
}

TEST(MatchesAnyPatternTest, QuestionMarkIsExactlyOneUnitAndStarsBacktrack) {
    EXPECT_TRUE(MatchesAnyPattern(u"ab.c", u"a?.c"));
    EXPECT_FALSE(MatchesAnyPattern(u"a.c", u"a?.c"));
    EXPECT_FALSE(MatchesAnyPattern(u"abb.c", u"a?.c"));
    EXPECT_TRUE(MatchesAnyPattern(u"abcabcabd", u"*abd"));
    EXPECT_TRUE(MatchesAnyPattern(u"mississippi", u"m*iss*ppi"));
    EXPECT_FALSE(MatchesAnyPattern(u"mississippi", u"m*iss*ppx"));
    EXPECT_TRUE(MatchesAnyPattern(u"x", u"***"));
    EXPECT_TRUE(MatchesAnyPattern(u"abc", u"a*?"));
    EXPECT_FALSE(MatchesAnyPattern(u"a", u"a*?"));
    // A pathological pattern finishes quickly.
    const std::u16string name(4000, u'a');
    const std::u16string pattern = u"*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b";
    EXPECT_FALSE(MatchesAnyPattern(name, pattern));
}

TEST(MatchesAnyPatternTest, EmptyPatternMatchesOnlyTheEmptyName) {
    EXPECT_FALSE(MatchesAnyPattern(u"a", u""));
    EXPECT_TRUE(MatchesAnyPattern(u"", u""));
    EXPECT_FALSE(MatchesAnyPattern(u"a", u";"));
    EXPECT_TRUE(MatchesAnyPattern(u"a", u";a"));
}

TEST(FileNameImportFilterTest, MatchesTheNameWhateverTheCaseFlag) {
    const CFileNameImportFilter exact(u"*.txt;*.doc", 0);
    const CFileNameImportFilter folded(u"*.txt;*.doc", 1);
    for (const auto* filter : {&exact, &folded}) {
        EXPECT_TRUE(filter->Match(Entry(u"report.DOC")));
        EXPECT_TRUE(filter->Match(Entry(u"a.txt")));
        EXPECT_FALSE(filter->Match(Entry(u"a.txt.bak")));
    }
    EXPECT_FALSE(CFileNameImportFilter(u"", 0).Match(Entry(u"a")));
    EXPECT_EQ(exact.GetFilterType(), CImportFilter::TypeFileName);
}

TEST(FileNameImportFilterTest, Describes) {
    EXPECT_EQ(CFileNameImportFilter(u"*.jpg", 0).Describe(), u"ファイル名が「*.jpg」と一致する");
    EXPECT_EQ(CFileNameImportFilter(u"*.jpg", 7).Describe(),
              u"ファイル名が「*.jpg」と一致する(nocase)");
}

TEST(AttrImportFilterTest, EqualLooksAtTheFourBitsOnly) {
    const CAttrImportFilter none(0, CAttrImportFilter::FuncEqual);
    EXPECT_TRUE(none.Match(Entry(u"f", kAttrDirectory | 0x800)));
    EXPECT_FALSE(none.Match(Entry(u"f", kAttrArchive)));
    const CAttrImportFilter hiddenArchive(kAttrHidden | kAttrArchive, CAttrImportFilter::FuncEqual);
    EXPECT_TRUE(hiddenArchive.Match(Entry(u"f", kAttrHidden | kAttrArchive | kAttrDirectory)));
    EXPECT_FALSE(hiddenArchive.Match(Entry(u"f", kAttrHidden | kAttrArchive | kAttrReadOnly)));
}

TEST(AttrImportFilterTest, ContainsNeedsEveryWantedBitAndOtherFuncsNeverMatch) {
    const CAttrImportFilter hidden(kAttrHidden, CAttrImportFilter::FuncContains);
    EXPECT_TRUE(hidden.Match(Entry(u"f", kAttrHidden | kAttrReadOnly)));
    EXPECT_FALSE(hidden.Match(Entry(u"f", kAttrReadOnly | kAttrArchive)));
    EXPECT_TRUE(CAttrImportFilter(0, CAttrImportFilter::FuncContains).Match(Entry(u"f", 0)));
    EXPECT_FALSE(CAttrImportFilter(0, 2).Match(Entry(u"f", 0)));
    EXPECT_EQ(hidden.GetFilterType(), CImportFilter::TypeAttributes);
}

TEST(AttrImportFilterTest, DescribesLettersInFixedOrder) {
    EXPECT_EQ(CAttrImportFilter(0x22, 1).Describe(), u"ファイル属性が「ah」を含む");
    EXPECT_EQ(CAttrImportFilter(0, 0).Describe(), u"ファイル属性が「」と一致する");
    EXPECT_EQ(CAttrImportFilter(0x27, 0).Describe(), u"ファイル属性が「rahs」と一致する");
    EXPECT_EQ(CAttrImportFilter(0x05, 9).Describe(), u"ファイル属性が「rs」");
}

TEST(SameFilterTest, ComparesDescriptionsIgnoringAsciiCase) {
    EXPECT_TRUE(SameFilter(CFileNameImportFilter(u"*.JPG", 0), CFileNameImportFilter(u"*.jpg", 0)));
    EXPECT_FALSE(
        SameFilter(CFileNameImportFilter(u"*.jpg", 1), CFileNameImportFilter(u"*.jpg", 0)));
    EXPECT_FALSE(SameFilter(CAttrImportFilter(2, 0), CAttrImportFilter(2, 1)));
    EXPECT_TRUE(SameFilter(CAttrImportFilter(0x22, 1), CAttrImportFilter(0x22, 1)));
}

TEST(ImportSettingsTest, AcceptsWhenSomeInputMatchesAndNoIgnoreDoes) {
    CImportSettings settings;
    EXPECT_FALSE(settings.Accepts(Entry(u"a.txt")));  // no input filters: nothing
    settings.inputFilters.push_back(boost::make_shared<CFileNameImportFilter>(u"*.txt", 0));
    settings.inputFilters.push_back(boost::make_shared<CFileNameImportFilter>(u"*.doc", 0));
    settings.ignoreFilters.push_back(
        boost::make_shared<CAttrImportFilter>(kAttrHidden, CAttrImportFilter::FuncContains));
    EXPECT_TRUE(settings.Accepts(Entry(u"a.doc")));
    EXPECT_FALSE(settings.Accepts(Entry(u"a.png")));
    EXPECT_FALSE(settings.Accepts(Entry(u".a.txt", kAttrHidden | kAttrArchive)));
}

}  // namespace
