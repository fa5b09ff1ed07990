#include "disc/SetIndexFormat.h"

#include <gtest/gtest.h>

#include "support/TextCodec.h"

using zel::U16;

namespace {

DiscSet SampleSet() {
    DiscSet set;
    set.id = "0123456789abcdef0123456789abcdef";
    set.name = U16("写真 2026\t\\tab");
    set.createdAt = 1796000000;
    set.packSize = 4700000000ULL;
    set.medium = U16("DVD(4.7GB)");
    set.capacity = 4700372992ULL;
    set.target = u"image";
    set.packs = {{1, u"PACK_01", DiscPackState::Verified, 1796000100, 1796000200, u""},
                 {2, u"PACK_02", DiscPackState::Failed, 0, 0, U16("変更されました:\n/a\rb")}};
    // Names with every escaped character, a lone backslash at the end and bytes
    // that are not UTF-8.
    set.files = {
        {1, U16("/A/a=b \\c.jpg"), U16("/src/A/a=b \\c.jpg"), 12, -5, std::string(64, 'a')},
        {2, zel::DecodeFileName("/B/\xff\xfe\t\n\r\\"),
         zel::DecodeFileName("/src/B/\xff\xfe\t\n\r\\"), 0, 1796000000123456789LL, ""}};
    return set;
}

bool Same(const DiscSet& a, const DiscSet& b) {
    return WriteSetIndex(a, false) == WriteSetIndex(b, false);
}

TEST(SetIndexFormat, WritesTheDocumentedLines) {
    DiscSet set = SampleSet();
    set.files.resize(1);
    EXPECT_EQ(WriteSetIndex(set, true),
              "CORVELIN-SET\t1\n"
              "SET\t0123456789abcdef0123456789abcdef\t写真 2026\\t\\\\tab\t1796000000\t4700000000\t"
              "DVD(4.7GB)\t4700372992\timage\t2\n"
              "PACK\t1\tPACK_01\tverified\t1796000100\t1796000200\t\n"
              "PACK\t2\tPACK_02\tfailed\t0\t0\t変更されました:\\n/a\\rb\n"
              "FILE\t1\t/A/a=b \\\\c.jpg\t/src/A/a=b \\\\c.jpg\t12\t-5\t" +
                  std::string(64, 'a') + "\n");
    EXPECT_EQ(WriteSetIndex(set, false).rfind("CORVELIN-INDEX\t1\n", 0), 0u);
}

TEST(SetIndexFormat, ReadsBackEveryFieldOfEitherForm) {
    const DiscSet set = SampleSet();
    for (bool asSetFile : {false, true}) {
        DiscSet back;
        std::u16string error;
        ASSERT_TRUE(ReadSetIndex(WriteSetIndex(set, asSetFile), back, error)) << asSetFile;
        EXPECT_TRUE(Same(set, back));
        EXPECT_EQ(back.files[1].discPath, set.files[1].discPath);
        EXPECT_EQ(back.packs[1].reason, set.packs[1].reason);
        EXPECT_EQ(back.files[1].mtimeNs, 1796000000123456789LL);
    }
}

TEST(SetIndexFormat, SkipsWhatALaterMinorVersionAdds) {
    std::string text = WriteSetIndex(SampleSet(), false);
    text.replace(0, text.find('\n'), "CORVELIN-INDEX\t1.3");
    text.insert(text.find("PACK\t1\t"), "NOTE\tsomething new\n\n");
    text.insert(text.find("\nPACK\t2"), "\textra field");
    // CRLF line ends, as an editor may leave them.
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& variant : {text, crlf}) {
        DiscSet back;
        std::u16string error;
        ASSERT_TRUE(ReadSetIndex(variant, back, error)) << zel::Utf16ToUtf8(error);
        EXPECT_TRUE(Same(SampleSet(), back));
    }
}

TEST(SetIndexFormat, RefusesBrokenTextAndLeavesTheSetAlone) {
    const std::string good = WriteSetIndex(SampleSet(), false);
    auto replaced = [&](std::string_view from, std::string_view to) {
        std::string text = good;
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    const struct {
        std::string text;
        const char* message;  // a piece of the message
    } cases[] = {
        {"", "空"},
        {replaced("CORVELIN-INDEX\t1", "CORVELIN-INDEX\t2"), "新しい版"},
        {replaced("CORVELIN-INDEX\t1", "CORVELIN-INDEX\t2.0"), "新しい版"},
        {replaced("CORVELIN-INDEX\t1", "SOMETHING\t1"), "ではありません"},
        {replaced("CORVELIN-INDEX\t1", "CORVELIN-INDEX\tx"), "版を読めません"},
        {replaced("\tverified\t", "\tburnt\t"), "3 行目"},
        {replaced("PACK\t2\t", "PACK\t3\t"), "順に"},
        {replaced("\timage\t2\n", "\timage\t3\n"), "パックの数"},
        {replaced("FILE\t2\t", "FILE\t3\t"), "パック番号"},
        {replaced("\t12\t-5\t", "\t12\t-5x\t"), "5 行目"},
        {replaced("\t12\t-5\t", "\t+12\t-5\t"), "5 行目"},
        {replaced("aaaa", "AAAA"), "5 行目"},
        {replaced("\\\\c.jpg", "\\qc.jpg"), "5 行目"},
        {replaced("\t4700372992\t", "\t"), "SET 行の項目"},
        {replaced("SET\t", "SIT\t"), "SET 行より前"},
        {replaced("\nPACK\t1", "\nPACK"), "PACK 行の項目"},
    };
    for (const auto& c : cases) {
        DiscSet out = SampleSet();
        out.name = u"unchanged";
        std::u16string error;
        EXPECT_FALSE(ReadSetIndex(c.text, out, error)) << c.message;
        EXPECT_NE(zel::Utf16ToUtf8(error).find(c.message), std::string::npos)
            << c.message << ": " << zel::Utf16ToUtf8(error);
        EXPECT_EQ(out.name, u"unchanged");
    }
}

}  // namespace
