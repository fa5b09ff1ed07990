#include "intake/FileNameImportFilter.h"

#include <utility>

#include "intake/WildcardMatch.h"
#include "support/UiText.h"

CFileNameImportFilter::CFileNameImportFilter(std::u16string pattern, int32_t nocase)
    : pattern_(std::move(pattern)), nocase_(nocase) {}

bool CFileNameImportFilter::Match(const FindData& entry) const {
    return MatchesAnyPattern(entry.fileName, pattern_);
}

std::u16string CFileNameImportFilter::Describe() const {
    std::u16string text = Tr16Format("ファイル名が「{pattern}」と一致する",
                                     fmt::arg("pattern", zel::Utf16ToUtf8(pattern_)));
    if (nocase_ != 0) text += u"(nocase)";
    return text;
}
