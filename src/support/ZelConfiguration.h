#pragma once

#include <string>

#include "support/FileSystem.h"

// Where the profile and the presets file live: one of three folders, searched
// in the order program folder, program folder + user name, per-user
// configuration folder. Paths are raw bytes without a trailing "/".
class ZelConfiguration {
public:
    enum ProfileLocation { AppData = 0, ProgramFolderUser = 1, ProgramFolder = 2 };

    explicit ZelConfiguration(zel::IFileSystem& fs = zel::IFileSystem::Default()) : fs_(fs) {}
    virtual ~ZelConfiguration() = default;

    virtual std::string GetApplicationName() const = 0;
    virtual std::string GetCompanyName() const = 0;

    // Looks for an existing profile (regular file) and makes its folder the
    // configuration folder; false when there is none.
    bool FindProfile();
    // The folder of a location; empty when it cannot be known.
    std::string GetLocationFolder(int location) const;
    // Creates the location's folders as needed (mode 0700) and makes it the
    // configuration folder; false, with the configuration folder unchanged, when
    // a folder cannot be created.
    bool CreateLocation(int location, int* error = nullptr);

    const std::string& GetConfigurationFolder() const { return configFolder_; }
    void SetConfigurationFolder(const std::string& folder) { configFolder_ = folder; }
    // Empty while no configuration folder is known: nothing is then read or
    // written, never a bare name resolved against the working directory.
    std::string GetProfilePath() const;
    bool ProfileFound() const { return profileFound_; }

protected:
    // The environment, overridable for tests.
    virtual std::string GetProgramFolder() const;  // folder of /proc/self/exe
    virtual std::string GetAppDataFolder() const;  // $XDG_CONFIG_HOME or ~/.config
    virtual std::string GetUserName() const;       // passwd entry, then $USER, $LOGNAME

    zel::IFileSystem& fs_;

private:
    std::string configFolder_;
    bool profileFound_ = false;
};
