#pragma once

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>

#include "intake/FindData.h"

// A test on one file's directory entry. Filters never change after creation, so
// copies of a preset share them.
class CImportFilter {
public:
    enum : uint32_t { TypeFileName = 0, TypeAttributes = 1 };

    virtual ~CImportFilter() = default;
    virtual uint32_t GetFilterType() const = 0;
    virtual bool Match(const FindData& entry) const = 0;
    virtual std::u16string Describe() const = 0;
};

using CImportFilterPtr = boost::shared_ptr<CImportFilter>;
