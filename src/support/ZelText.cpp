#include "support/ZelText.h"

#include <utility>

#include "support/TextCodec.h"

namespace zel {
namespace {

template <typename Char>
bool IsQuoted(const std::basic_string<Char>& text) {
    return text.size() >= 2 && text.front() == Char('"') && text.back() == Char('"');
}

template <typename Text>
std::pair<size_t, size_t> SpaceTrimmedRange(const Text& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    return {begin, end};
}

}  // namespace

void WideToUtf8(std::string& out, const char16_t* text, int length) {
    out.clear();
    if (!text || length < 1) return;
    out = Utf16ToUtf8(std::u16string_view(text, static_cast<size_t>(length)));
}

std::string WideToUtf8(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

void AnsiToWide(std::u16string& out, const char* bytes, int length) {
    if (!bytes || length < 1) return;
    out = Utf8ToUtf16(std::string_view(bytes, static_cast<size_t>(length)));
}

std::u16string AnsiToWide(std::string_view bytes) {
    return Utf8ToUtf16(bytes);
}

void QuoteText(std::u16string& text) {
    if (IsQuoted(text)) return;
    text.insert(text.begin(), u'"');
    text.push_back(u'"');
}

void UnquoteText(std::u16string& text) {
    if (!IsQuoted(text)) return;
    text.pop_back();
    text.erase(0, 1);
}

void EscapeBackslashes(std::u16string& text) {
    text = ReplaceAll(text, u"\\", u"\\\\");
}

void UnescapeBackslashes(std::u16string& text) {
    text = ReplaceAll(text, u"\\\\", u"\\");
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view search,
                          std::u16string_view replacement) {
    if (search.empty()) return std::u16string(text);
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, search.size(), search) == 0) {
            out.append(replacement);
            i += search.size();
        } else {
            out.push_back(text[i]);
            ++i;
        }
    }
    return out;
}

void TrimSpaces(std::u16string& text) {
    const auto [begin, end] = SpaceTrimmedRange(text);
    text.erase(end);
    text.erase(0, begin);
}

void TrimSpaces(std::string& text) {
    const auto [begin, end] = SpaceTrimmedRange(text);
    text.erase(end);
    text.erase(0, begin);
}

}  // namespace zel
