#pragma once
// Text helpers of the preset file and the key-value reader. Text files are
// UTF-8; the wide text is UTF-16. The in-place forms change the caller's string.

#include <string>
#include <string_view>

namespace zel {

// The first `length` UTF-16 units as UTF-8 (no byte-order mark); a length below
// 1 gives the empty string. A surrogate pair cut in half becomes U+FFFD.
void WideToUtf8(std::string& out, const char16_t* text, int length);
std::string WideToUtf8(std::u16string_view text);

// The first `length` bytes decoded as UTF-8, invalid sequences as U+FFFD. When
// there is nothing to decode (a length below 1) `out` is left unchanged.
void AnsiToWide(std::u16string& out, const char* bytes, int length);
std::u16string AnsiToWide(std::string_view bytes);

// A text of two or more units that starts and ends with '"' is taken as quoted.
void QuoteText(std::u16string& text);    // wraps it in quotes unless already quoted
void UnquoteText(std::u16string& text);  // removes one pair of enclosing quotes

// Every backslash doubled, and undone (two backslashes become one; a single
// backslash stays), so that a text survives any number of write-read cycles.
void EscapeBackslashes(std::u16string& text);
void UnescapeBackslashes(std::u16string& text);

// Left to right, non-overlapping; an empty search text changes nothing.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view search,
                          std::u16string_view replacement);

// Removes leading and trailing U+0020 only (tabs stay).
void TrimSpaces(std::u16string& text);
void TrimSpaces(std::string& text);

}  // namespace zel
