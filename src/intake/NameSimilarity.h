#pragma once

#include <string_view>

// Score of two file names (without extensions), compared as case-sensitive UTF-16
// units: the greedy common run as a percentage of the longer name, plus a bonus
// for a run starting within the first five units of a that breaks off early in
// b. Not symmetric. 0 when either name is empty.
double NameSimilarity(std::u16string_view a, std::u16string_view b);

// Pairs scoring strictly above this form automatic-grouping candidates.
constexpr double kAutoGroupThreshold = 80.0;
