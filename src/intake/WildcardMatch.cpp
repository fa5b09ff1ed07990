#include "intake/WildcardMatch.h"

namespace {

inline char16_t FoldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

}  // namespace

bool WildcardMatch(std::u16string_view name, std::u16string_view pattern) {
    // Greedy star matching: on a mismatch, retry from the last star with one more
    // unit consumed by it. Each retry moves the name forward, so no exponential
    // backtracking.
    size_t n = 0;
    size_t p = 0;
    size_t starP = std::u16string_view::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool MatchesAnyPattern(std::u16string_view name, std::u16string_view patterns) {
    size_t start = 0;
    for (;;) {
        const size_t end = patterns.find(u';', start);
        std::u16string_view pattern = patterns.substr(
            start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
        // No name these presets meet ends in a blank, so a blank before ";" is
        // the typist's, not part of the pattern.
        while (!pattern.empty() && pattern.front() == u' ')
            pattern.remove_prefix(1);
        while (!pattern.empty() && pattern.back() == u' ')
            pattern.remove_suffix(1);
        if (pattern == u"*.*" || WildcardMatch(name, pattern)) return true;
        if (end == std::u16string_view::npos) return false;
        start = end + 1;
    }
}
