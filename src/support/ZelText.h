#pragma once
// Text helpers of the preset file and the key-value reader. The in-place forms
// change the caller's string.

#include <string>

namespace zel {

// Removes one pair of enclosing quotes from a text of two or more units that
// starts and ends with '"'.
void UnquoteText(std::u16string& text);

// Every backslash doubled, and undone (two backslashes become one; a single
// backslash stays), so that a text survives any number of write-read cycles.
void EscapeBackslashes(std::u16string& text);
void UnescapeBackslashes(std::u16string& text);

// Removes leading and trailing U+0020 only (tabs stay).
void TrimSpaces(std::u16string& text);

}  // namespace zel
