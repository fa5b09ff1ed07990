// The name score against a literal transcription of its rules, and the claim
// of the q-gram signatures: a pair they reject never scores above the
// automatic-grouping threshold, in either direction.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "intake/NameSignature.h"
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

    if (NameSignature::CannotExceedThreshold(NameSignature(a), NameSignature(b))) {
        if (ab > kAutoGroupThreshold || ba > kAutoGroupThreshold) {
            fuzz::PrintUnits("rejected a", a);
            fuzz::PrintUnits("rejected b", b);
            std::fprintf(stderr, "scores %.17g / %.17g\n", ab, ba);
        }
        FUZZ_CHECK(ab <= kAutoGroupThreshold && ba <= kAutoGroupThreshold);
        FUZZ_CHECK(NameSignature::CannotExceedThreshold(NameSignature(b), NameSignature(a)));
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
