#pragma once

#include <cstdint>
#include <string>

#include "intake/ImportFilter.h"

// Matches the entry's read-only, hidden, system and archive bits.
class CAttrImportFilter : public CImportFilter {
public:
    enum : uint32_t { FuncEqual = 0, FuncContains = 1 };
    static constexpr uint32_t kMask = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

    // func: FuncEqual (the four bits equal attr), FuncContains (every bit of attr
    // set); any other value never matches.
    CAttrImportFilter(uint32_t attr, uint32_t func);

    uint32_t GetFilterType() const override { return TypeAttributes; }
    bool Match(const FindData& entry) const override;
    std::u16string Describe() const override;

    uint32_t Attr() const { return attr_; }
    uint32_t Func() const { return func_; }

private:
    uint32_t attr_;
    uint32_t func_;
};
