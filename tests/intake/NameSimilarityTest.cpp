// The name score against known pairs and against the plain reference, and the
// grouping index's pruning, which must never rule out a pair above the threshold.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "NameSimilarityReference.h"
#include "intake/NameGramIndex.h"
#include "intake/NameSimilarity.h"
#include "support/TextCodec.h"

namespace {

using name_similarity_reference::ReferenceSimilarity;

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

std::u16string RandomName(std::mt19937& rng, const std::u16string& alphabet, int maxLength) {
    std::u16string name(std::uniform_int_distribution<size_t>(0, maxLength)(rng), u' ');
    for (auto& c : name)
        c = alphabet[rng() % alphabet.size()];
    return name;
}

// Changes, inserts or removes a few units, so that pairs near the threshold are common.
std::u16string Mutate(std::mt19937& rng, std::u16string name, const std::u16string& alphabet) {
    for (int e = rng() % 4; e > 0; --e) {
        const size_t at = name.empty() ? 0 : rng() % name.size();
        const char16_t unit = alphabet[rng() % alphabet.size()];
        const unsigned edit = name.empty() ? 1 : rng() % 4;
        if (edit == 0)
            name.erase(at, 1);
        else if (edit == 1)
            name.insert(name.begin() + static_cast<std::ptrdiff_t>(at), unit);
        else
            name[at] = unit;
    }
    return name;
}

// Random pairs, half of them near each other: the score equals the reference's,
// and the index rules a pair out only when it is at or below the threshold.
TEST(NameSimilarityTest, MatchesTheReferenceAndThePruningIsSound) {
    std::mt19937 rng(12345);
    const std::u16string alphabets[] = {u"ab", u"abc", u"abc_01",
                                        u"abcdefghijklmnopqrstuvwxyz0123456789", u"写真日記"};
    int pruned = 0, above = 0;
    for (const auto& alphabet : alphabets) {
        for (int t = 0; t < 16000; ++t) {
            const int maxLength = t % 3 ? 14 : 40;
            const std::u16string a = RandomName(rng, alphabet, maxLength);
            const std::u16string b =
                t % 2 ? Mutate(rng, a, alphabet) : RandomName(rng, alphabet, maxLength);
            const std::string shown = zel::Utf16ToUtf8(a + u" / " + b);
            ASSERT_EQ(NameSimilarity(a, b), ReferenceSimilarity(a, b)) << shown;
            const bool high = ReferenceSimilarity(a, b) > kAutoGroupThreshold ||
                              ReferenceSimilarity(b, a) > kAutoGroupThreshold;
            const std::vector<std::u16string_view> both{a, b};
            NameGramIndex index(both);
            std::vector<uint32_t> partners;
            ASSERT_TRUE(index.PartnersAfter(0, partners, nullptr));
            above += high;
            pruned += partners.empty();
            ASSERT_FALSE(partners.empty() && high) << shown;
        }
    }
    // Both outcomes are common, so the check above is not vacuous.
    EXPECT_GT(above, 4000);
    EXPECT_GT(pruned, 20000);
}

}  // namespace
