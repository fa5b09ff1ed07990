#include "intake/NameSimilarity.h"

#include <algorithm>

double NameSimilarity(std::u16string_view a, std::u16string_view b) {
    const size_t la = a.size();
    const size_t lb = b.size();
    if (la == 0 || lb == 0) return 0.0;
    const size_t m = std::min(la, lb);
    size_t best = 0;
    double bonus = 0.0;
    for (size_t i = 0; i < m; ++i) {
        if (best + i >= m) break;
        size_t run = 0;
        for (size_t k = 0; k < m; ++k) {
            // Past the end of a nothing matches, as with a terminating zero.
            if (i + run < la && a[i + run] == b[k]) {
                ++run;
                continue;
            }
            if (run > best) {
                best = run;
                if (i < 5) bonus = static_cast<double>((5 - i) * run) * 1.2;
            }
            run = 0;
        }
        if (run > best) best = run;
    }
    return static_cast<double>(best) / static_cast<double>(std::max(la, lb)) * 100.0 + bonus;
}
