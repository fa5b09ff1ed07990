#pragma once

#include <cstdint>
#include <string>

#include "intake/ImportFilter.h"

// Matches the entry's own name (never its folder) against a wildcard list. Matching
// always ignores ASCII letter case; nocase is kept for the description and the
// presets file.
class CFileNameImportFilter : public CImportFilter {
public:
    CFileNameImportFilter(std::u16string pattern, int32_t nocase);

    uint32_t GetFilterType() const override { return TypeFileName; }
    bool Match(const FindData& entry) const override;
    std::u16string Describe() const override;

    const std::u16string& Pattern() const { return pattern_; }
    int32_t NoCase() const { return nocase_; }

private:
    std::u16string pattern_;
    int32_t nocase_;
};
