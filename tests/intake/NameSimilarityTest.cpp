#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "NameSimilarityReference.h"
#include "intake/NameGramIndex.h"
#include "intake/NameSimilarity.h"

namespace {

TEST(NameSimilarityTest, ScoresTheKnownPairs) {
    EXPECT_DOUBLE_EQ(NameSimilarity(u"photo001", u"photo002"), 129.5);
    EXPECT_NEAR(NameSimilarity(u"report", u"report2"), 600.0 / 7.0, 1e-9);
    EXPECT_DOUBLE_EQ(NameSimilarity(u"DSC_1234", u"DSC_5678"), 74.0);
    EXPECT_DOUBLE_EQ(NameSimilarity(u"a1", u"b1"), 50.0);
    EXPECT_DOUBLE_EQ(NameSimilarity(u"abc", u"xyz"), 0.0);
    EXPECT_DOUBLE_EQ(NameSimilarity(u"chapter1", u"appendix"), 32.2);
    EXPECT_DOUBLE_EQ(NameSimilarity(u"appendix", u"chapter1"), 37.0);
    EXPECT_DOUBLE_EQ(NameSimilarity(u"notes", u"photo001"), 34.6);
    EXPECT_DOUBLE_EQ(NameSimilarity(u"same name", u"same name"), 100.0);
}

TEST(NameSimilarityTest, EmptyNamesAndCaseAndLongerNames) {
    EXPECT_EQ(NameSimilarity(u"", u"abc"), 0.0);
    EXPECT_EQ(NameSimilarity(u"abc", u""), 0.0);
    EXPECT_DOUBLE_EQ(NameSimilarity(u"ABC", u"abc"), 0.0);
    // Only the first min(la, lb) units of b take part.
    EXPECT_DOUBLE_EQ(NameSimilarity(u"xy", u"abxy"), 0.0);
    // A run reaching the end of a stops there instead of reading past it.
    EXPECT_DOUBLE_EQ(NameSimilarity(u"xab", u"abz"), 2.0 / 3.0 * 100.0 + 4 * 2 * 1.2);
}

using name_similarity_reference::ReferenceSimilarity;

std::u16string RandomName(std::mt19937& rng, const std::u16string& alphabet, int maxLength) {
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::u16string name;
    for (int n = length(rng); n > 0; --n)
        name += alphabet[pick(rng)];
    return name;
}

// Changes a few units, so that pairs near the threshold are common.
std::u16string Mutate(std::mt19937& rng, std::u16string name, const std::u16string& alphabet) {
    std::uniform_int_distribution<int> edits(0, 3);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    for (int e = edits(rng); e > 0; --e) {
        if (name.empty()) {
            name += alphabet[pick(rng)];
            continue;
        }
        const size_t at = std::uniform_int_distribution<size_t>(0, name.size() - 1)(rng);
        switch (edits(rng)) {
            case 0:
                name.erase(at, 1);
                break;
            case 1:
                name.insert(name.begin() + static_cast<std::ptrdiff_t>(at), alphabet[pick(rng)]);
                break;
            default:
                name[at] = alphabet[pick(rng)];
        }
    }
    return name;
}

TEST(NameSimilarityTest, MatchesTheReferenceOnRandomNames) {
    std::mt19937 rng(12345);
    const std::u16string alphabets[] = {u"ab", u"abc_01", u"abcdefghijklmnopqrstuvwxyz0123456789",
                                        u"写真日記"};
    for (const auto& alphabet : alphabets) {
        for (int t = 0; t < 20000; ++t) {
            const std::u16string a = RandomName(rng, alphabet, 20);
            const std::u16string b =
                t % 2 ? Mutate(rng, a, alphabet) : RandomName(rng, alphabet, 20);
            ASSERT_EQ(NameSimilarity(a, b), ReferenceSimilarity(a, b))
                << std::string(a.begin(), a.end()) << " / " << std::string(b.begin(), b.end());
        }
    }
}

// Whether the automatic grouping's index rules the pair out without scoring it.
bool Pruned(const std::u16string& a, const std::u16string& b) {
    const std::vector<std::u16string_view> names{a, b};
    NameGramIndex index(names);
    std::vector<uint32_t> partners;
    EXPECT_TRUE(index.PartnersAfter(0, partners, nullptr));
    return partners.empty();
}

TEST(NameGramIndexTest, NeverRulesOutAPairAboveTheThreshold) {
    std::mt19937 rng(777);
    const std::u16string alphabets[] = {u"ab", u"abc", u"abcdef_0123",
                                        u"abcdefghijklmnopqrstuvwxyz0123456789"};
    int rejected = 0;
    int above = 0;
    for (const auto& alphabet : alphabets) {
        for (int t = 0; t < 20000; ++t) {
            const std::u16string a = RandomName(rng, alphabet, t % 3 ? 14 : 40);
            const std::u16string b =
                t % 2 ? Mutate(rng, a, alphabet) : RandomName(rng, alphabet, t % 3 ? 14 : 40);
            const bool high = ReferenceSimilarity(a, b) > kAutoGroupThreshold ||
                              ReferenceSimilarity(b, a) > kAutoGroupThreshold;
            above += high;
            if (Pruned(a, b)) {
                ++rejected;
                ASSERT_FALSE(high)
                    << std::string(a.begin(), a.end()) << " / " << std::string(b.begin(), b.end());
            }
        }
    }
    // Both outcomes are common, so the check above is not vacuous.
    EXPECT_GT(above, 4000);
    EXPECT_GT(rejected, 20000);
}

}  // namespace
