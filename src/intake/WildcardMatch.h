#pragma once

#include <string_view>

// Wildcard match of a file name against a ";"-separated list of patterns; spaces
// at both ends of each pattern are ignored. "*.*" on its own matches every name, also
// one without a dot; otherwise "*" matches any run, "?" exactly one UTF-16 unit,
// and every other unit itself, with ASCII letters folded (independent of locale).
// An empty pattern matches only the empty name.
bool MatchesAnyPattern(std::u16string_view name, std::u16string_view patterns);

// One pattern of such a list, without the "*.*" and list rules.
bool WildcardMatch(std::u16string_view name, std::u16string_view pattern);
