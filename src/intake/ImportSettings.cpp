#include "intake/ImportSettings.h"

bool CImportSettings::Accepts(const FindData& entry) const {
    bool accepted = false;
    for (const auto& filter : inputFilters) {
        if (filter->Match(entry)) {
            accepted = true;
            break;
        }
    }
    if (!accepted) return false;
    for (const auto& filter : ignoreFilters) {
        if (filter->Match(entry)) return false;
    }
    return true;
}

CImportSettingsPtr FindImportSettings(const ImportSettingsList& list, std::u16string_view name) {
    for (const CImportSettingsPtr& preset : list) {
        if (preset && preset->name == name) return preset;
    }
    return nullptr;
}
