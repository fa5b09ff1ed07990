#pragma once

#include <string>

#include "intake/ImportSettings.h"
#include "support/ZelConfiguration.h"

// The program's configuration: the application and company names that place
// the profile folder, and the import presets read from that folder.
class CorvelinSys : public ZelConfiguration {
public:
    using ZelConfiguration::ZelConfiguration;

    std::string GetApplicationName() const override { return "Corvelin"; }
    std::string GetCompanyName() const override { return "Tessoly"; }

    ImportSettingsList presets;
};
