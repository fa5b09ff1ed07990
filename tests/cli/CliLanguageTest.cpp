// corvelin-cli speaks the user's language: Japanese under a Japanese locale,
// English under any other; the export is the same in both.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliRunner.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// Hiragana, katakana, CJK ideographs and full-width forms all start with a
// byte from 0xE3 to 0xEF in UTF-8; English text has none.
bool HasJapanese(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0xE3 && byte <= 0xEF) return true;
    }
    return false;
}

CliResult RunIn(const std::string& locale, std::vector<std::string> args) {
    args.insert(args.begin(), CORVELIN_CLI_PATH);
    return RunProgram(args, {"LANG=" + locale});
}

TEST(CliLanguage, EnglishUnlessTheLocaleIsJapanese) {
    TempDir dir;
    const std::string tree = dir / "tree";
    MakeDir(tree);
    MakeSparseFile(tree + "/a.bin", 600);
    MakeSparseFile(tree + "/b.bin", 500);
    const std::string missing = dir / "missing";
    const std::vector<std::vector<std::string>> runs = {
        {"--help"},
        {"--no-such-option"},
        {"-s", "1000", tree, missing},
        {"-s", "nonsense", tree},
        {"--write-images", dir / "img", "--write-disc", "/dev/null", tree},
        {"--verify", missing}};
    for (const auto& args : runs) {
        const CliResult r = RunIn("C.UTF-8", args);
        EXPECT_FALSE(HasJapanese(r.out + r.err)) << args[0] << "\n" << r.out << r.err;
    }
    const CliResult english = RunIn("C.UTF-8", {"-s", "1000", "-o", "-", tree, missing});
    EXPECT_NE(english.err.find("Total: packs 2, files 2"), std::string::npos) << english.err;
    EXPECT_NE(english.err.find(missing + ": Not found"), std::string::npos) << english.err;

    // LC_ALL outranks LANG; the export does not change with the language.
    const CliResult japanese =
        RunProgram({CORVELIN_CLI_PATH, "-s", "1000", "-o", "-", tree, missing},
                   {"LANG=C.UTF-8", "LC_ALL=ja_JP.UTF-8"});
    EXPECT_NE(japanese.err.find("合計: 2 パック、2 ファイル"), std::string::npos) << japanese.err;
    EXPECT_NE(japanese.err.find(missing + ": 見つかりません"), std::string::npos) << japanese.err;
    EXPECT_EQ(japanese.out, english.out);
    EXPECT_EQ(japanese.out, Line(tree + "/a.bin", 600, 1) + Line(tree + "/b.bin", 500, 2));
}

// The verdict of a check is the user's to read, in the user's language.
TEST(CliLanguage, VerifyReportFollowsTheLocale) {
    TempDir dir;
    const std::string disc = dir / "disc";
    MakeDir(disc);
    MakeDir(disc + "/_CORVELIN");
    WriteFile(disc + "/a.txt", "changed");
    WriteFile(disc + "/_CORVELIN/SHA256SUMS",
              std::string(64, '0') + "  a.txt\n" + std::string(64, '1') + "  gone.txt\n");
    const CliResult english = RunIn("C.UTF-8", {"--verify", disc});
    EXPECT_EQ(english.status, 8 | 1 | 2) << english.err;
    EXPECT_FALSE(HasJapanese(english.out + english.err)) << english.out << english.err;
    EXPECT_NE(english.out.find("Files whose contents differ (1):\n  /a.txt"), std::string::npos)
        << english.out;
    const CliResult japanese = RunIn("ja_JP.UTF-8", {"--verify", disc});
    EXPECT_EQ(japanese.status, english.status);
    EXPECT_NE(japanese.out.find("内容が異なるファイル (1 件):\n  /a.txt"), std::string::npos)
        << japanese.out;
}

}  // namespace
