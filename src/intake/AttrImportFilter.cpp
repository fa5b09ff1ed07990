#include "intake/AttrImportFilter.h"
#include "support/UiText.h"

CAttrImportFilter::CAttrImportFilter(uint32_t attr, uint32_t func) : attr_(attr), func_(func) {}

bool CAttrImportFilter::Match(const FindData& entry) const {
    const uint32_t a = entry.attributes;
    switch (func_) {
        case FuncEqual:
            return (a & kMask) == attr_;
        case FuncContains:
            return (a & attr_) == attr_;
        default:
            return false;
    }
}

std::u16string CAttrImportFilter::Describe() const {
    std::string letters;
    if (attr_ & kAttrReadOnly) letters += 'r';
    if (attr_ & kAttrArchive) letters += 'a';
    if (attr_ & kAttrHidden) letters += 'h';
    if (attr_ & kAttrSystem) letters += 's';
    const auto shown = fmt::arg("attributes", letters);
    if (func_ == FuncEqual) return Tr16Format("ファイル属性が「{attributes}」と一致する", shown);
    if (func_ == FuncContains) return Tr16Format("ファイル属性が「{attributes}」を含む", shown);
    return Tr16Format("ファイル属性が「{attributes}」", shown);
}
