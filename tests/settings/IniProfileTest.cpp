#include "settings/IniProfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <limits>

#include "TestSupport.h"
#include "support/FaultyFileSystem.h"

using namespace testing_support;

namespace {

IniProfile Parsed(const std::string& text) {
    IniProfile profile;
    profile.Parse(text);
    return profile;
}

}  // namespace

TEST(IniProfile, NamesAreCaseInsensitiveAndTheFirstOccurrenceWins) {
    const IniProfile p = Parsed(
        "[General]\nFONT_SIZE=10\nfont_size=20\n"
        "[general]\nLINE_HEIGHT=3\n"
        "[PackInfo 1]\nName=DVD\n");
    EXPECT_EQ(p.GetInt(u"GENERAL", u"Font_Size", 12), 10);
    // A repeated section is never looked at.
    EXPECT_EQ(p.GetInt(u"General", u"LINE_HEIGHT", 1), 1);
    EXPECT_EQ(p.GetString(u"packinfo 1", u"NAME", u""), u"DVD");
    EXPECT_EQ(p.GetString(u"PackInfo 2", u"Name", u"none"), u"none");
    // Only ASCII letters fold.
    const IniProfile w = Parsed("[Ä]\nÄ=1\n");
    EXPECT_EQ(w.GetInt(U("Ä"), U("Ä"), 0), 1);
    EXPECT_EQ(w.GetInt(U("ä"), U("Ä"), 0), 0);
}

TEST(IniProfile, LoneCarriageReturnEndsALineSoEveryTextSurvivesARewrite) {
    // A CR inside a header or value used to stay in the text and come back as a
    // blank after a rewrite.
    const IniProfile p = Parsed(
        "[PackInfo 100\r]\nName=lost\r\n"
        "[S]\rk=a\rb=c\r\rv=\"q\r\n");
    EXPECT_TRUE(p.GetString(U("PackInfo 100\r"), u"Name", u"").empty());
    EXPECT_TRUE(p.GetString(u"PackInfo 100", u"Name", u"").empty());
    EXPECT_EQ(p.GetString(u"S", u"k", u""), u"a");
    EXPECT_EQ(p.GetString(u"S", u"b", u""), u"c");
    EXPECT_EQ(p.GetString(u"S", u"v", u""), u"\"q");

    const std::string text = p.ToText();
    EXPECT_EQ(text, "[S]\nk=a\nb=c\nv=\"q\n");
    const IniProfile back = Parsed(text);
    EXPECT_EQ(back.Keys(), p.Keys());
    EXPECT_EQ(back.ToText(), text);
}

TEST(IniProfile, ValuesAreTrimmedAndLoseOnePairOfQuotes) {
    const IniProfile p = Parsed(
        "\xEF\xBB\xBF  [ S ]  \r\n"
        "  key one  =  spaced value  \r\n"
        "quoted=\"  inside  \"\n"
        "twice=\"\"x\"\"\n"
        "half=\"open\n"
        "eq=a=b\n"
        "empty=\n"
        "emptyQuotes=\"\"\n"
        "FONT_FACE=ＭＳ ゴシック\n");
    EXPECT_EQ(p.GetString(u"S", u"key one", u""), u"spaced value");
    EXPECT_EQ(p.GetString(u"S", u"quoted", u""), u"  inside  ");
    EXPECT_EQ(p.GetString(u"S", u"twice", u""), u"\"x\"");
    EXPECT_EQ(p.GetString(u"S", u"half", u""), u"\"open");
    EXPECT_EQ(p.GetString(u"S", u"eq", u""), u"a=b");
    EXPECT_EQ(p.GetString(u"S", u"empty", u"dflt"), u"dflt");
    EXPECT_EQ(p.GetString(u"S", u"emptyQuotes", u"dflt"), u"dflt");
    EXPECT_EQ(p.GetInt(u"S", u"empty", 7), 7);
    EXPECT_EQ(p.GetString(u"S", u"FONT_FACE", u""), U("ＭＳ ゴシック"));
}

TEST(IniProfile, CommentsAndMalformedLinesAreIgnored) {
    const IniProfile p = Parsed(
        "orphan=1\n"
        "[A]\n"
        "; x=2\n"
        "  ;y=3\n"
        "no equals sign\n"
        "=no key\n"
        "x=4\n"
        "[broken\n"
        "z=5\n"
        "[B] trailing\n"
        "w=6");
    EXPECT_EQ(p.GetInt(u"A", u"x", 0), 4);
    EXPECT_EQ(p.GetInt(u"A", u"y", -1), -1);
    EXPECT_EQ(p.GetInt(u"A", u"z", -1), -1);  // not moved into the section before
    EXPECT_EQ(p.GetInt(u"A", u"orphan", -1), -1);
    EXPECT_EQ(p.GetInt(u"B", u"w", 0), 6);  // the last line needs no line end
}

TEST(IniProfile, IntegersAreASignAndLeadingDigits) {
    const IniProfile p = Parsed(
        "[N]\na=42\nb=-17\nc=+8\nd=12abc\ne=abc\nf=-\ng=99999999999999999999\n"
        "h=-99999999999999999999\ni=\"5\"\nj=16777215\nk=2147483647\nl=-2147483648\n");
    EXPECT_EQ(p.GetInt(u"N", u"a", 0), 42);
    EXPECT_EQ(p.GetInt(u"N", u"b", 0), -17);
    EXPECT_EQ(p.GetInt(u"N", u"c", 0), 8);
    EXPECT_EQ(p.GetInt(u"N", u"d", 0), 12);
    EXPECT_EQ(p.GetInt(u"N", u"e", 99), 0);
    EXPECT_EQ(p.GetInt(u"N", u"f", 99), 0);
    EXPECT_EQ(p.GetInt(u"N", u"g", 0), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(p.GetInt(u"N", u"h", 0), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(p.GetInt(u"N", u"i", 0), 5);
    EXPECT_EQ(p.GetInt(u"N", u"j", 0), 16777215);
    EXPECT_EQ(p.GetInt(u"N", u"k", 0), 2147483647);
    EXPECT_EQ(p.GetInt(u"N", u"l", 0), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(p.GetInt(u"N", u"missing", -5), -5);
}

TEST(IniProfile, SetReplacesOrAppendsInInsertionOrder) {
    IniProfile p;
    p.SetInt(u"General", u"FONT_SIZE", -16);
    p.SetString(u"General", u"FONT_FACE", U("ＭＳ ゴシック"));
    p.SetInt(u"PackInfo", u"FIRST_FLAG", 0);
    p.SetString(u"PackInfo 1", u"Name", u"CD(700MB)");
    p.SetInt(u"general", u"font_size", 11);  // replaces, keeps the first spelling
    EXPECT_EQ(p.ToText(),
              "[General]\nFONT_SIZE=11\nFONT_FACE=ＭＳ ゴシック\n\n"
              "[PackInfo]\nFIRST_FLAG=0\n\n"
              "[PackInfo 1]\nName=CD(700MB)\n");
    p.Clear();
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.ToText(), "");
}

TEST(IniProfile, AwkwardValuesReadBackAsTheyWereSet) {
    const std::u16string values[] = {
        u" leading",   u"trailing\t", u"\"quoted\"", u"\"",       u"\"\"", u"a \"b\" c",
        u"semi;colon", u"=equals=",   u"[bracket]",  U("日本語"), u"x",    u"\"half",
    };
    IniProfile p;
    for (size_t i = 0; i < std::size(values); ++i) {
        p.SetString(u"S", u"k" + zel::U16(std::to_string(i)), values[i]);
    }
    const IniProfile back = Parsed(p.ToText());
    for (size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(back.GetString(u"S", u"k" + zel::U16(std::to_string(i)), u"?"), values[i]) << i;
    }
    // Line breaks cannot be stored; they must not create entries of their own.
    p.Clear();
    p.SetString(u"S", u"k", u"one\ninjected=1");
    const IniProfile broken = Parsed(p.ToText());
    EXPECT_EQ(broken.GetString(u"S", u"injected", u"none"), u"none");
    EXPECT_EQ(broken.GetString(u"S", u"k", u""), u"one injected=1");
}

TEST(IniProfile, SaveAndLoadThroughTheFileSystem) {
    TempDir dir;
    const std::string path = dir / "Corvelin.ini";
    IniProfile p;
    EXPECT_TRUE(p.Load(path));  // a missing file is an empty profile
    EXPECT_TRUE(p.Empty());

    p.SetInt(u"General", u"LINE_HEIGHT", 3);
    p.SetString(u"PackInfo 1", u"Name", u" DVD ");
    int error = -1;
    ASSERT_TRUE(p.Save(path, zel::IFileSystem::Default(), error));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(ReadFile(path), "[General]\nLINE_HEIGHT=3\n\n[PackInfo 1]\nName=\" DVD \"\n");

    IniProfile q;
    ASSERT_TRUE(q.Load(path, zel::IFileSystem::Default(), error));
    EXPECT_EQ(q.GetInt(u"General", u"LINE_HEIGHT", 1), 3);
    EXPECT_EQ(q.GetString(u"PackInfo 1", u"Name", u""), u" DVD ");

    // A full rewrite: sections that are gone from memory are gone from the file.
    q.Clear();
    q.SetInt(u"PackInfo", u"FIRST_FLAG", 0);
    ASSERT_TRUE(q.Save(path));
    EXPECT_EQ(ReadFile(path), "[PackInfo]\nFIRST_FLAG=0\n");
}

TEST(IniProfile, FailuresLeaveTheOldFileAndReportErrno) {
    TempDir dir;
    const std::string path = dir / "Corvelin.ini";
    WriteFile(path, "[General]\nLINE_HEIGHT=5\n");
    IniProfile p;
    p.SetInt(u"General", u"LINE_HEIGHT", 9);

    FaultyFileSystem fs;
    fs.renameError = EROFS;
    int error = 0;
    EXPECT_FALSE(p.Save(path, fs, error));
    EXPECT_EQ(error, EROFS);
    fs.renameError = 0;
    fs.writeError = ENOSPC;
    EXPECT_FALSE(p.Save(path, fs));
    EXPECT_EQ(p.LastError(), ENOSPC);
    EXPECT_EQ(ReadFile(path), "[General]\nLINE_HEIGHT=5\n");

    // Only regular files of sensible size are read; a failed load leaves nothing.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(p.Load(dir / "fifo", zel::IFileSystem::Default(), error));
    EXPECT_EQ(error, EINVAL);
    EXPECT_TRUE(p.Empty());
    MakeSparseFile(dir / "huge.ini", IniProfile::kMaxFileSize + 1);
    EXPECT_FALSE(p.Load(dir / "huge.ini"));
    EXPECT_EQ(p.LastError(), EFBIG);
    fs.writeError = 0;
    fs.readError = EACCES;
    p.SetInt(u"X", u"y", 1);
    EXPECT_FALSE(p.Load(path, fs));
    EXPECT_TRUE(p.Empty());
    // A link to a regular profile is followed.
    ASSERT_EQ(::symlink("Corvelin.ini", (dir / "link.ini").c_str()), 0);
    EXPECT_TRUE(p.Load(dir / "link.ini"));
    EXPECT_EQ(p.GetInt(u"General", u"LINE_HEIGHT", 0), 5);
}
