#include "intake/SameFilter.h"

#include "model/PackItem.h"

bool SameFilter(const CImportFilter& a, const CImportFilter& b) {
    return ComparePathsNoCase(a.Describe(), b.Describe()) == 0;
}
