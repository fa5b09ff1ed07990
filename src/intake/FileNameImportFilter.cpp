#include "intake/FileNameImportFilter.h"

#include <utility>

#include "intake/WildcardMatch.h"

CFileNameImportFilter::CFileNameImportFilter(std::u16string pattern, int32_t nocase)
    : pattern_(std::move(pattern)), nocase_(nocase) {}

bool CFileNameImportFilter::Match(const FindData& entry) const {
    return MatchesAnyPattern(entry.fileName, pattern_);
}

std::u16string CFileNameImportFilter::Describe() const {
    std::u16string text = u"ファイル名が「" + pattern_ + u"」と一致する";
    if (nocase_ != 0) text += u"(nocase)";
    return text;
}
