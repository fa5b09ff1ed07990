#pragma once

#include "intake/ImportFilter.h"

// Two filters are the same when their descriptions are equal ignoring ASCII case;
// this is what keeps one filter list free of duplicates.
bool SameFilter(const CImportFilter& a, const CImportFilter& b);
