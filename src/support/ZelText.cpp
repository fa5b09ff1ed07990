#include "support/ZelText.h"

#include <string_view>

namespace zel {
namespace {

// Left to right, non-overlapping; replacements are not searched again.
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

}  // namespace

void UnquoteText(std::u16string& text) {
    if (text.size() < 2 || text.front() != u'"' || text.back() != u'"') return;
    text.pop_back();
    text.erase(0, 1);
}

void EscapeBackslashes(std::u16string& text) {
    text = ReplaceAll(text, u"\\", u"\\\\");
}

void UnescapeBackslashes(std::u16string& text) {
    text = ReplaceAll(text, u"\\\\", u"\\");
}

void TrimSpaces(std::u16string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    text.erase(end);
    text.erase(0, begin);
}

}  // namespace zel
