#pragma once
// Conversions between the UTF-16 text the program works in and the UTF-8 bytes
// of the file system and of the files it reads and writes.

#include <string>
#include <string_view>

namespace zel {

// File names are bytes. Valid UTF-8 decodes as usual; every byte that is not part
// of a valid sequence becomes the lone surrogate U+DC00 + byte (U+DC80..U+DCFF),
// so that EncodeFileName gives back exactly the original bytes.
std::u16string DecodeFileName(std::string_view bytes);
void DecodeFileNameAppend(std::string_view bytes, std::u16string& out);
std::string EncodeFileName(std::u16string_view text);
void EncodeFileNameAppend(std::u16string_view text, std::string& out);
// The same for text held a byte per UTF-16 unit (U+0000..U+00FF).
void EncodeLatin1Append(std::string_view units, std::string& out);

// Whether bytes hold a tab, CR or LF: a name that would split a line of the
// lists and files that name it. These bytes never occur inside a multi-byte
// UTF-8 sequence, so a byte search finds them in any name.
bool HasTabOrLineBreak(std::string_view bytes);

// Text files: invalid sequences become U+FFFD; a leading byte-order mark is not
// stripped here (callers that read whole files do that).
std::u16string Utf8ToUtf16(std::string_view bytes);
// Lone surrogates (other than the file-name escapes, which map back to their
// byte) become U+FFFD, so the output is always what the text names.
std::string Utf16ToUtf8(std::u16string_view text);

// For display: the escape surrogates shown as U+FFFD.
std::u16string ForDisplay(std::u16string_view text);
// A name on one line of a list: as ForDisplay, and control characters (C0, DEL,
// C1) shown as \xNN, so a tab or a line break in a name cannot split the line.
std::u16string ForDisplayOnOneLine(std::u16string_view text);

// Short literals for code and tests: ASCII/UTF-8 source text to UTF-16.
inline std::u16string U16(std::string_view utf8) {
    return Utf8ToUtf16(utf8);
}

}  // namespace zel
