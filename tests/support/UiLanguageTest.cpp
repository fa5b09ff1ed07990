#include "support/UiLanguage.h"

#include <gtest/gtest.h>

namespace {

struct LocaleCase {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    UiLanguage expected;
};

TEST(UiLanguage, TheFirstLocaleNameSetDecides) {
    const auto ja = UiLanguage::Japanese, en = UiLanguage::English;
    const LocaleCase cases[] = {
        {nullptr, nullptr, nullptr, en},
        {nullptr, nullptr, "ja_JP.UTF-8", ja},
        {nullptr, nullptr, "ja", ja},
        {nullptr, nullptr, "ja_JP@cjknarrow", ja},
        {nullptr, nullptr, "C.UTF-8", en},
        {nullptr, nullptr, "POSIX", en},
        {nullptr, nullptr, "jam", en},          // a language part is compared whole
        {"", "", "ja_JP.UTF-8", ja},            // empty counts as unset
        {nullptr, "en_US.UTF-8", "ja_JP", en},  // LC_MESSAGES before LANG
        {"ja_JP.eucJP", "en_GB", "C", ja},      // LC_ALL before both
        {"C", "ja_JP.UTF-8", "ja_JP.UTF-8", en},
    };
    for (const LocaleCase& c : cases) {
        EXPECT_EQ(UiLanguageFromLocale(c.lcAll, c.lcMessages, c.lang), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
            << (c.lang ? c.lang : "-");
    }
}

}  // namespace
