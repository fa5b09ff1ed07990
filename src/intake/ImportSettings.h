#pragma once

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "intake/ImportFilter.h"

// A named import preset: input filters (a file must match one), ignore filters
// (a file must match none) and the automatic-grouping switch. Copies share the
// filter objects.
class CImportSettings {
public:
    std::u16string name;
    std::vector<CImportFilterPtr> inputFilters;
    std::vector<CImportFilterPtr> ignoreFilters;
    int32_t AutoGroup = 0;

    // Accepted when some input filter matches and no ignore filter does; an
    // empty input list accepts nothing.
    bool Accepts(const FindData& entry) const;
};

using CImportSettingsPtr = boost::shared_ptr<CImportSettings>;
using ImportSettingsList = std::vector<CImportSettingsPtr>;

// The first preset of that name (case-sensitive), or null. The preset is
// shared, not copied: copy it before adding filters for one drop.
CImportSettingsPtr FindImportSettings(const ImportSettingsList& list, std::u16string_view name);
