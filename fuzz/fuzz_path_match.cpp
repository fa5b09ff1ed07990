// The wildcard matcher against a plain recursive one, and the list rules of
// MatchesAnyPattern (";" separates, leading spaces skipped, "*.*" matches all).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "intake/WildcardMatch.h"
#include "support/TextCodec.h"

namespace {

// Longer texts are cut: the reference is quadratic.
constexpr size_t kMaxUnits = 64;

char16_t Fold(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// The definition itself: "*" takes nothing or one more unit, "?" one unit,
// anything else its own unit with ASCII letters folded. Remembered by position,
// so runs of stars cannot make it exponential.
class ReferenceMatcher {
public:
    ReferenceMatcher(std::u16string_view name, std::u16string_view pattern)
        : name_(name), pattern_(pattern), memo_((name.size() + 1) * (pattern.size() + 1), -1) {}

    bool Match(size_t n = 0, size_t p = 0) {
        int8_t& known = memo_[n * (pattern_.size() + 1) + p];
        if (known < 0) known = Compute(n, p);
        return known != 0;
    }

private:
    bool Compute(size_t n, size_t p) {
        if (p == pattern_.size()) return n == name_.size();
        if (pattern_[p] == u'*') return Match(n, p + 1) || (n < name_.size() && Match(n + 1, p));
        if (n == name_.size()) return false;
        if (pattern_[p] != u'?' && Fold(pattern_[p]) != Fold(name_[n])) return false;
        return Match(n + 1, p + 1);
    }

    std::u16string_view name_;
    std::u16string_view pattern_;
    std::vector<int8_t> memo_;
};

bool ReferenceMatch(std::u16string_view name, std::u16string_view pattern) {
    return ReferenceMatcher(name, pattern).Match();
}

std::vector<std::u16string_view> SplitList(std::u16string_view patterns) {
    std::vector<std::u16string_view> parts;
    for (;;) {
        const size_t semi = patterns.find(u';');
        parts.push_back(patterns.substr(0, semi));
        if (semi == std::u16string_view::npos) return parts;
        patterns.remove_prefix(semi + 1);
    }
}

void Check(std::u16string name, std::u16string patterns) {
    if (name.size() > kMaxUnits) name.resize(kMaxUnits);
    if (patterns.size() > kMaxUnits) patterns.resize(kMaxUnits);

    // Single pattern, no list rules.
    const bool single = WildcardMatch(name, patterns);
    if (single != ReferenceMatch(name, patterns)) {
        fuzz::PrintUnits("name", name);
        fuzz::PrintUnits("pattern", patterns);
    }
    FUZZ_CHECK(single == ReferenceMatch(name, patterns));

    // The list: any part, without the spaces at its ends, matches or is "*.*".
    bool expected = false;
    for (std::u16string_view part : SplitList(patterns)) {
        while (!part.empty() && part.front() == u' ')
            part.remove_prefix(1);
        while (!part.empty() && part.back() == u' ')
            part.remove_suffix(1);
        expected = expected || part == u"*.*" || ReferenceMatch(name, part);
    }
    FUZZ_CHECK(MatchesAnyPattern(name, patterns) == expected);
    if (patterns.find(u';') == std::u16string::npos &&
        (patterns.empty() || (patterns.front() != u' ' && patterns.back() != u' ')) &&
        patterns != u"*.*") {
        FUZZ_CHECK(MatchesAnyPattern(name, patterns) == single);
    }

    FUZZ_CHECK(MatchesAnyPattern(name, u"*.*"));
    FUZZ_CHECK(MatchesAnyPattern(name, patterns + u";*.*"));
    FUZZ_CHECK(MatchesAnyPattern(name, u"  *.*;" + patterns));
    FUZZ_CHECK(MatchesAnyPattern(name, u"*") && WildcardMatch(name, u"*"));
    FUZZ_CHECK(WildcardMatch(name, name));
    FUZZ_CHECK(MatchesAnyPattern(name, u"") == name.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view nameBytes, specBytes;
    fuzz::SplitAtNul(data, size, nameBytes, specBytes);
    Check(zel::DecodeFileName(nameBytes), zel::Utf8ToUtf16(specBytes));
    Check(fuzz::RawUnits(nameBytes), fuzz::RawUnits(specBytes));
    return 0;
}
