#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "support/UiLanguage.h"
#include "support/UiText.h"

namespace {

std::set<std::string> Fields(std::string_view text) {
    std::set<std::string> names;
    static const std::regex field(R"(\{(\w*)\})");
    const std::string copy(text);
    for (auto it = std::sregex_iterator(copy.begin(), copy.end(), field);
         it != std::sregex_iterator(); ++it)
        names.insert((*it)[1]);
    return names;
}

struct LanguageScope {
    explicit LanguageScope(UiLanguage language) : saved(CurrentUiLanguage()) {
        SetUiLanguage(language);
    }
    ~LanguageScope() { SetUiLanguage(saved); }
    UiLanguage saved;
};

}  // namespace

// An English text that lost or renamed a field would throw at run time or
// drop the path from a message.
TEST(UiTextTest, EveryEnglishTextHasTheFieldsOfItsJapanese) {
    size_t count = 0;
    ForEachEnglishText([&](std::string_view japanese, std::string_view english) {
        ++count;
        EXPECT_FALSE(english.empty()) << japanese;
        EXPECT_EQ(Fields(japanese), Fields(english)) << japanese;
        EXPECT_EQ(japanese.back() == '\n', english.back() == '\n') << japanese;
        for (const char c : english)
            EXPECT_EQ(static_cast<unsigned char>(c) & 0x80, 0) << english;
    });
    EXPECT_GT(count, 100u);
}

TEST(UiTextTest, FollowsTheChosenLanguage) {
    {
        LanguageScope english(UiLanguage::English);
        EXPECT_STREQ(Tr("中断しました"), "Interrupted");
        EXPECT_EQ(TrFormat("不明なオプションです: {option}", fmt::arg("option", "--{x}")),
                  "Unknown option: --{x}");
        EXPECT_EQ(Tr16("イメージ"), u"Image");
        // A text without English stays as written.
        EXPECT_STREQ(Tr("未登録の文"), "未登録の文");
    }
    LanguageScope japanese(UiLanguage::Japanese);
    EXPECT_STREQ(Tr("中断しました"), "中断しました");
    EXPECT_EQ(TrFormat("不明なオプションです: {option}", fmt::arg("option", "-z")),
              "不明なオプションです: -z");
}
