#pragma once

#include <cstdint>
#include <string>

class CImportSettings;

// What the window says after a drop that added no file at all, so that an
// empty list never goes without a reason: how many files the preset's filters
// refused, and which preset it was.
std::u16string DescribeNothingImported(uint64_t refused, const CImportSettings& preset);
