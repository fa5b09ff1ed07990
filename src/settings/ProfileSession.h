#pragma once

#include <optional>
#include <string>

#include "intake/ImportSettingsFile.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "support/FileSystem.h"

// The desktop program's start and end as far as its files go: where the
// profile lives (found, or chosen once on the first start), reading the
// settings and the presets from there, and rewriting the profile at exit.
// Failures come back as Japanese messages. Nothing is ever resolved against the
// working directory, and a profile that exists but cannot be read is kept as
// Corvelin.ini.bak rather than replaced by defaults without a trace.
class CProfileSession {
public:
    CProfileSession(CorvelinSys& sys, SettingsStore& settings,
                    zel::IFileSystem& fs = zel::IFileSystem::Default());

    // True when a profile exists in one of the three places; otherwise the
    // caller asks the user for a location and calls ChooseLocation.
    bool FindProfile();

    // Creates the location's folder and checks that a file can be made in it.
    // False with a message when either fails: the caller asks again (or gives
    // up with RunWithoutProfile); the configuration folder is then unchanged.
    bool ChooseLocation(int location, std::u16string& message);

    // The user gave up choosing: run on the defaults and write nothing.
    void RunWithoutProfile();

    // Reads the settings and pack sizes from the profile, and the presets into
    // sys.presets (the built-in preset when there is no presets file).
    void Load();

    // Rewrites the profile whole through a temporary file; false with a message
    // when it cannot be written, the old file then intact. Without a
    // configuration folder it writes nothing and succeeds.
    bool Save(std::u16string& message);

    // Writes sys.presets to the presets file beside the profile.
    bool SavePresets(std::u16string& message);

    const std::string& ProfilePath() const { return profilePath_; }

private:
    CorvelinSys& sys_;
    SettingsStore& settings_;
    zel::IFileSystem& fs_;
    std::string profilePath_;
    bool backUpUnreadableProfile_ = false;
    std::optional<CImportSettingsStore> presetStore_;
};
