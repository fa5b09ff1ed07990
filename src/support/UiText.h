#pragma once
// The texts the core and the command line show a user. The program's own
// texts are written in Japanese where they are used; the English ones live in
// po/en.po, keyed by the Japanese text, and are compiled into the program, so
// the language never depends on which locales the system has generated.
//
// Only a string literal goes to these functions (the English catalog is
// extracted from the calls by xgettext, keywords Tr, Tr16, TrFormat and
// Tr16Format). Anything a user or the system supplied is passed as a named
// argument, never as the text itself: "…「{path}」…" with fmt::arg("path", p).

#include <fmt/format.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "support/TextCodec.h"

// The text in CurrentUiLanguage(): the Japanese as given, or its English.
// A text without an English entry comes back as given.
const char* TranslatedText(const char* japanese);

// The Tr functions take a string literal only (a char array): a text built at
// run time cannot become a format string nor miss the catalog unnoticed.
template <std::size_t N>
const char* Tr(const char (&japanese)[N]) {
    return TranslatedText(japanese);
}

template <std::size_t N>
std::u16string Tr16(const char (&japanese)[N]) {
    return zel::Utf8ToUtf16(TranslatedText(japanese));
}

// Tr(japanese) with its {name} fields filled from fmt::arg(...) arguments.
template <std::size_t N, typename... Args>
std::string TrFormat(const char (&japanese)[N], Args&&... args) {
    return fmt::format(fmt::runtime(TranslatedText(japanese)), std::forward<Args>(args)...);
}

template <std::size_t N, typename... Args>
std::u16string Tr16Format(const char (&japanese)[N], Args&&... args) {
    return zel::Utf8ToUtf16(TrFormat(japanese, std::forward<Args>(args)...));
}

// Every entry of the English catalog, for the checks of the catalog itself.
void ForEachEnglishText(
    const std::function<void(std::string_view japanese, std::string_view english)>& visit);
