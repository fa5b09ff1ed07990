#include "support/UiLanguage.h"

#include <cstdlib>

namespace {

UiLanguage g_language = UiLanguage::English;

bool Set(const char* value) {
    return value != nullptr && *value != '\0';
}

}  // namespace

UiLanguage UiLanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    const char* name = Set(lcAll) ? lcAll : Set(lcMessages) ? lcMessages : Set(lang) ? lang : "";
    const std::string_view text(name);
    const std::string_view language = text.substr(0, text.find_first_of("_.@"));
    return language == "ja" ? UiLanguage::Japanese : UiLanguage::English;
}

UiLanguage UiLanguageFromEnvironment() {
    return UiLanguageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                std::getenv("LANG"));
}

UiLanguage CurrentUiLanguage() {
    return g_language;
}

void SetUiLanguage(UiLanguage language) {
    g_language = language;
}
