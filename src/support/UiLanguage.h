#pragma once

#include <string_view>

// The language of everything a user reads: the windows, the command line's
// messages and help. Japanese is the program's own; every other locale gets
// English. It is decided from the environment's locale names alone, since a
// fresh system often has no locale generated and setlocale() would then say
// nothing useful.
enum class UiLanguage { Japanese, English };

// The first of LC_ALL, LC_MESSAGES and LANG that is set and not empty decides:
// a name whose language part is "ja" ("ja", "ja_JP", "ja_JP.UTF-8",
// "ja_JP@x") means Japanese; anything else, C and POSIX included, English.
// A null pointer counts as unset.
UiLanguage UiLanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);

// UiLanguageFromLocale over this process's environment.
UiLanguage UiLanguageFromEnvironment();

// The language chosen for this process; English until set. Set once at start,
// before any thread that reads it is started.
UiLanguage CurrentUiLanguage();
void SetUiLanguage(UiLanguage language);
