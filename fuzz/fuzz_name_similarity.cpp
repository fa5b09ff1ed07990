// The name score against the plain reference, and the claim of the grouping's
// run index: a pair it rules out never scores above the automatic-grouping
// threshold, in either direction.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "intake/NameGramIndex.h"
#include "intake/NameSimilarity.h"
#include "intake/NameSimilarityReference.h"
#include "support/TextCodec.h"

namespace {

using name_similarity_reference::ReferenceSimilarity;

std::u16string WithoutZeros(std::u16string text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c != 0) out.push_back(c);
    }
    return out;
}

void CheckPair(const std::u16string& a, const std::u16string& b) {
    const double ab = NameSimilarity(a, b);
    const double ba = NameSimilarity(b, a);
    if (ab != ReferenceSimilarity(a, b)) {
        fuzz::PrintUnits("a", a);
        fuzz::PrintUnits("b", b);
        std::fprintf(stderr, "score %.17g reference %.17g\n", ab, ReferenceSimilarity(a, b));
    }
    FUZZ_CHECK(ab == ReferenceSimilarity(a, b));
    FUZZ_CHECK(ba == ReferenceSimilarity(b, a));
    FUZZ_CHECK(ab >= 0.0 && ab <= 100.0 + 6.0 * static_cast<double>(a.size()));
    if (a == b && !a.empty()) FUZZ_CHECK(ab == 100.0);

    const std::vector<std::u16string_view> names{a, b};
    NameGramIndex index(names);
    std::vector<uint32_t> partners;
    index.PartnersAfter(0, partners, nullptr);
    if (partners.empty()) {
        if (ab > kAutoGroupThreshold || ba > kAutoGroupThreshold) {
            fuzz::PrintUnits("ruled out a", a);
            fuzz::PrintUnits("ruled out b", b);
            std::fprintf(stderr, "scores %.17g / %.17g\n", ab, ba);
        }
        FUZZ_CHECK(ab <= kAutoGroupThreshold && ba <= kAutoGroupThreshold);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view aBytes, bBytes;
    fuzz::SplitAtNul(data, size, aBytes, bBytes);
    const std::u16string a = WithoutZeros(zel::DecodeFileName(aBytes));
    const std::u16string b = WithoutZeros(zel::DecodeFileName(bBytes));
    CheckPair(a, b);
    CheckPair(WithoutZeros(fuzz::RawUnits(aBytes)), WithoutZeros(fuzz::RawUnits(bBytes)));

    // Pairs near the threshold are where the bound matters: a with one unit
    // changed, chosen by the input's first byte.
    if (!a.empty()) {
        std::u16string near = a;
        near[data[0] % a.size()] = static_cast<char16_t>(u'0' + data[size - 1] % 10);
        CheckPair(a, near);
    }
    return 0;
}
