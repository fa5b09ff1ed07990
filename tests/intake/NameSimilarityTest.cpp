// The name score against known pairs; AutoGroupTest checks it and the index's
// pruning against the plain reference on random folders.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intake/NameSimilarity.h"
#include "support/TextCodec.h"

namespace {

TEST(NameSimilarityTest, ScoresTheKnownPairs) {
    // Only the first min(la, lb) units of b take part, case counts, and a run
    // reaching the end of a stops there instead of reading past it.
    const std::tuple<std::u16string, std::u16string, double> pairs[] = {
        {u"photo001", u"photo002", 129.5},
        {u"report", u"report2", 600.0 / 7.0},
        {u"DSC_1234", u"DSC_5678", 74.0},
        {u"a1", u"b1", 50.0},
        {u"abc", u"xyz", 0.0},
        {u"chapter1", u"appendix", 32.2},
        {u"appendix", u"chapter1", 37.0},
        {u"notes", u"photo001", 34.6},
        {u"same name", u"same name", 100},
        {u"", u"abc", 0},
        {u"abc", u"", 0},
        {u"ABC", u"abc", 0},
        {u"xy", u"abxy", 0},
        {u"xab", u"abz", 2.0 / 3.0 * 100.0 + 4 * 2 * 1.2}};
    for (const auto& [a, b, score] : pairs)
        EXPECT_NEAR(NameSimilarity(a, b), score, 1e-9) << zel::Utf16ToUtf8(a + u" / " + b);
}

}  // namespace
