#include "intake/AttrImportFilter.h"

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
    std::u16string text = u"ファイル属性が「";
    if (attr_ & kAttrReadOnly) text += u'r';
    if (attr_ & kAttrArchive) text += u'a';
    if (attr_ & kAttrHidden) text += u'h';
    if (attr_ & kAttrSystem) text += u's';
    text += u"」";
    if (func_ == FuncEqual) {
        text += u"と一致する";
    } else if (func_ == FuncContains) {
        text += u"を含む";
    }
    return text;
}
