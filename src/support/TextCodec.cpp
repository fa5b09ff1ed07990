#include "support/TextCodec.h"

#include <cstdint>
#include <cstring>

namespace zel {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence starting at s[i], or 0 when it is invalid
// (overlong forms, surrogates and values past U+10FFFF are invalid).
size_t ValidSequence(std::string_view s, size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    size_t len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

void AppendCodePoint(char32_t cp, std::u16string& out) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

template <typename OnInvalidByte>
void Decode(std::string_view bytes, std::u16string& out, OnInvalidByte onInvalid) {
    out.reserve(out.size() + bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        // A run of ASCII widened in one go: most names are nothing else, and
        // a million of them went through push_back one unit at a time.
        size_t run = i;
        while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80)
            ++run;
        if (run > i) {
            const size_t at = out.size();
            out.resize(at + (run - i));
            char16_t* to = &out[at];
            for (size_t k = i; k < run; ++k)
                *to++ = static_cast<unsigned char>(bytes[k]);
            i = run;
            if (i == bytes.size()) break;
        }
        const auto b = static_cast<unsigned char>(bytes[i]);
        char32_t cp;
        const size_t len = ValidSequence(bytes, i, cp);
        if (len == 0) {
            onInvalid(b, out);
            ++i;
        } else {
            AppendCodePoint(cp, out);
            i += len;
        }
    }
}

// isEscape: whether a lone surrogate in U+DC80..U+DCFF stands for a raw byte.
char* PutUtf8(char32_t cp, char* p) {
    if (cp < 0x80) {
        *p++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *p++ = static_cast<char>(0xC0 | (cp >> 6));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (cp >> 12));
        *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (cp >> 18));
        *p++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return p;
}

// escapes: a lone surrogate in U+DC80..U+DCFF stands for a raw byte.
// The export encodes every path of a run, so this writes through a pointer
// into room made up front (no unit takes more than three bytes).
void Encode(std::u16string_view text, std::string& out, bool escapes) {
    const size_t start = out.size();
    out.resize(start + 3 * text.size());
    char* p = out.data() + start;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char16_t u = text[i];
        if (u < 0x80) {
            *p++ = static_cast<char>(u);
        } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            const char32_t cp = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            p = PutUtf8(cp, p);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            if (escapes && u >= 0xDC80 && u <= 0xDCFF) {
                *p++ = static_cast<char>(u - kEscapeBase);
            } else {
                p = PutUtf8(kReplacement, p);
            }
        } else {
            p = PutUtf8(u, p);
        }
    }
    out.resize(static_cast<size_t>(p - out.data()));
}

}  // namespace

void DecodeFileNameAppend(std::string_view bytes, std::u16string& out) {
    Decode(bytes, out, [](unsigned char b, std::u16string& o) {
        o.push_back(static_cast<char16_t>(kEscapeBase + b));
    });
}

std::u16string DecodeFileName(std::string_view bytes) {
    std::u16string out;
    DecodeFileNameAppend(bytes, out);
    return out;
}

void EncodeFileNameAppend(std::u16string_view text, std::string& out) {
    Encode(text, out, true);
}

void EncodeLatin1Append(std::string_view units, std::string& out) {
    unsigned char high = 0;
    for (const char c : units)
        high |= static_cast<unsigned char>(c);
    if (high < 0x80) {  // ASCII, as most names are
        out.append(units);
        return;
    }
    // One UTF-8 byte below 128, two above.
    const size_t at = out.size();
    out.resize(at + units.size() * 2);
    char* write = &out[at];
    for (const char c : units) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            *write++ = c;
        } else {
            *write++ = static_cast<char>(0xC0 | (u >> 6));
            *write++ = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    out.resize(static_cast<size_t>(write - out.data()));
}

std::string EncodeFileName(std::u16string_view text) {
    std::string out;
    Encode(text, out, true);
    return out;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
    std::u16string out;
    Decode(bytes, out, [](unsigned char, std::u16string& o) { o.push_back(kReplacement); });
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    Encode(text, out, false);
    return out;
}

std::u16string ForDisplay(std::u16string_view text) {
    std::u16string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        const char16_t u = out[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < out.size() && out[i + 1] >= 0xDC00 &&
            out[i + 1] <= 0xDFFF) {
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out[i] = kReplacement;
        }
    }
    return out;
}

std::u16string ForDisplayOnOneLine(std::u16string_view text) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    const std::u16string shown = ForDisplay(text);
    std::u16string out;
    out.reserve(shown.size());
    for (const char16_t c : shown) {
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
            out += u"\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

bool HasTabOrLineBreak(std::string_view bytes) {
    // Eight bytes at a time: a byte of x is zero exactly when the top bit of
    // (x - 0x01..) & ~x & 0x80.. is set for it, and x ^ 0x09.. is zero where
    // a tab is. find_first_of searched its set once per byte.
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    const auto anyZero = [](uint64_t x) { return ((x - kOnes) & ~x & kHighs) != 0; };
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if (anyZero(word ^ (kOnes * '\t')) || anyZero(word ^ (kOnes * '\n')) ||
            anyZero(word ^ (kOnes * '\r'))) {
            return true;
        }
    }
    for (; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\t' || c == '\n' || c == '\r') return true;
    }
    return false;
}

}  // namespace zel
