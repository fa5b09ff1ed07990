#pragma once
// The name-similarity rules written the plainest way, for the tests and the
// fuzz target to compare the real function and the pruning with.

#include <string>

namespace name_similarity_reference {

// Over zero-terminated buffers, the shape the rules were written for: a run
// reaching the end of a meets the terminator. Names hold no zero unit.
inline double ReferenceSimilarity(const std::u16string& aText, const std::u16string& bText) {
    const char16_t* a = aText.c_str();
    const char16_t* b = bText.c_str();
    const int la = static_cast<int>(aText.size());
    const int lb = static_cast<int>(bText.size());
    if (la == 0 || lb == 0) return 0;
    const int m = la < lb ? la : lb;
    int best = 0;
    double bonus = 0;
    for (int i = 0; i < m && best + i < m; ++i) {
        int run = 0;
        for (int k = 0; k < m; ++k) {
            if (a[i + run] == b[k]) {
                ++run;
                continue;
            }
            if (run > best) {
                best = run;
                if (i < 5) bonus = (5 - i) * run * 1.2;
            }
            run = 0;
        }
        if (run > best) best = run;
    }
    return static_cast<double>(best) / (la > lb ? la : lb) * 100 + bonus;
}

}  // namespace name_similarity_reference
