#include "settings/IniProfile.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "support/FaultyFileSystem.h"
#include "support/TextCodec.h"

using namespace testing_support;

namespace {

IniProfile Parsed(const std::string& text) {
    IniProfile profile;
    profile.Parse(text);
    return profile;
}

}  // namespace

TEST(IniProfile, ParsingFoldsNamesTrimsQuotesAndSkipsMalformedLines) {
    const IniProfile p = Parsed(
        "\xEF\xBB\xBForphan=1\n  [ S ]  \r\n  key one  =  spaced value  \r\n"
        "quoted=\"  inside  \"\nhalf=\"open\neq=a=b\nempty=\nemptyQuotes=\"\"\n"
        "; c=2\nno equals sign\n=no key\nfont_size=10\nFONT_SIZE=20\n[s]\nlate=1\n"
        "[broken\nz=5\n[B] trailing\nw=6\n[CR\r]\nk=lost\r\n"
        "[N]\rcr=a\rb=-17\r\rc=+8\nd=12abc\ne=abc\ng=99999999999999999999\n"
        "h=-99999999999999999999\ni=\"5\"");
    struct Case {
        const char16_t *section, *key, *text;  // nullptr: the default
    } cases[] = {
        {u"s", u"KEY ONE", u"spaced value"},  // ASCII case folds
        {u"S", u"quoted", u"  inside  "},
        {u"S", u"half", u"\"open"},
        {u"S", u"eq", u"a=b"},
        {u"S", u"empty", nullptr},
        {u"S", u"emptyQuotes", nullptr},
        {u"S", u"c", nullptr},
        {u"S", u"orphan", nullptr},
        {u"S", u"FONT_SIZE", u"10"},  // the first occurrence wins
        {u"S", u"late", nullptr},     // a repeated section is never looked at
        {u"S", u"z", nullptr},        // not moved into the section before
        {u"B", u"w", u"6"},
        {u"CR", u"k", nullptr},  // a lone CR ends the header line
        {u"CR\r", u"k", nullptr},
        {u"N", u"cr", u"a"},
        {u"N", u"b", u"-17"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(p.GetString(c.section, c.key, u"dflt"), c.text ? c.text : u"dflt")
            << zel::Utf16ToUtf8(c.key);
    }
    const std::pair<const char16_t*, int32_t> ints[] = {
        {u"b", -17},       {u"c", 8},         {u"d", 12}, {u"e", 0},
        {u"g", INT32_MAX}, {u"h", INT32_MIN}, {u"i", 5},  {u"x", -5}};
    for (const auto& [key, value] : ints)
        EXPECT_EQ(p.GetInt(u"N", key, -5), value) << zel::Utf16ToUtf8(key);

    // What was read survives a rewrite unchanged.
    const IniProfile back = Parsed(p.ToText());
    EXPECT_EQ(back.Keys(), p.Keys());
    EXPECT_EQ(back.ToText(), p.ToText());
}

TEST(IniProfile, SetValuesReadBackAsTheyWereSetInInsertionOrder) {
    const std::u16string values[] = {u" leading", u"trailing\t", u"\"quoted\"", u"\"",
                                     u"\"\"",     u"semi;colon", u"=equals=",   U("日本語")};
    IniProfile p;
    p.SetInt(u"General", u"FONT_SIZE", -16);
    p.SetInt(u"PackInfo", u"FIRST_FLAG", 0);
    p.SetInt(u"general", u"font_size", 11);  // replaces, keeps the first spelling
    EXPECT_EQ(p.ToText(), "[General]\nFONT_SIZE=11\n\n[PackInfo]\nFIRST_FLAG=0\n");
    for (size_t i = 0; i < std::size(values); ++i)
        p.SetString(u"S", u"k" + zel::U16(std::to_string(i)), values[i]);
    // Line breaks cannot be stored; they must not create entries of their own.
    p.SetString(u"S", u"n", u"one\ninjected=1");
    const IniProfile back = Parsed(p.ToText());
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(back.GetString(u"S", u"k" + zel::U16(std::to_string(i)), u"?"), values[i]) << i;
    EXPECT_EQ(back.GetString(u"S", u"injected", u"none"), u"none");
    EXPECT_EQ(back.GetString(u"S", u"n", u""), u"one injected=1");
}

TEST(IniProfile, SaveReplacesTheWholeFileAndAFailedLoadLeavesNothing) {
    TempDir dir;
    const std::string path = dir / "Corvelin.ini";
    IniProfile p;
    EXPECT_TRUE(p.Load(path));  // a missing file is an empty profile
    EXPECT_TRUE(p.Empty());
    p.SetString(u"PackInfo 1", u"Name", u" DVD ");
    ASSERT_TRUE(p.Save(path));
    p.Clear();
    p.SetInt(u"General", u"LINE_HEIGHT", 5);
    ASSERT_TRUE(p.Save(path));  // sections gone from memory are gone from the file
    EXPECT_EQ(ReadFile(path), "[General]\nLINE_HEIGHT=5\n");

    // Files past the size limit are refused; a failed load leaves nothing.
    MakeSparseFile(dir / "huge.ini", IniProfile::kMaxFileSize + 1);
    int error = 0;
    EXPECT_FALSE(p.Load(dir / "huge.ini", zel::IFileSystem::Default(), error));
    EXPECT_EQ(error, EFBIG);
    EXPECT_TRUE(p.Empty());
    FaultyFileSystem fs;
    fs.readError = EACCES;
    p.SetInt(u"X", u"y", 1);
    EXPECT_FALSE(p.Load(path, fs));
    EXPECT_TRUE(p.Empty());
    ASSERT_EQ(::symlink("Corvelin.ini", (dir / "link.ini").c_str()), 0);
    EXPECT_TRUE(p.Load(dir / "link.ini"));  // a link to a regular profile is followed
    EXPECT_EQ(p.GetInt(u"General", u"LINE_HEIGHT", 0), 5);
}
