#pragma once

#include <optional>
#include <string>
#include <vector>

#include "intake/ImportSettingsFile.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "support/FileSystem.h"

// The desktop program's start and end as far as its files go: where the
// profile lives (found, or chosen once on the first start), reading the
// settings and the presets from there, and writing the profile at exit. Two
// windows may run on one profile: each writes only what it changed, merged
// into the files as they are at that moment, under a lock beside each file.
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
    // What the user must be told once after Load: presets lost to a damaged
    // presets file, pack sizes past the limit that the profile holds.
    const std::vector<std::u16string>& StartNotices() const { return notices_; }

    // Writes the settings changed since Load into the profile as it is on disk
    // now (SettingsStore::MergeInto), through a temporary file, holding
    // Corvelin.ini.lock. A profile that could not be read, or whose pack sizes
    // past the limit the rewrite drops, is first kept as Corvelin.ini.bak.
    // False with a message when it cannot be written, the old file then
    // intact. Without a configuration folder it writes nothing and succeeds.
    bool Save(std::u16string& message);

    // Applies the one preset added to or removed from sys.presets to the
    // presets file (CImportSettingsStore::Save); sys.presets then holds the
    // file's list. A name another window saved meanwhile is refused with the
    // duplicate-name message.
    bool SavePresets(std::u16string& message);

    const std::string& ProfilePath() const { return profilePath_; }

private:
    CorvelinSys& sys_;
    SettingsStore& settings_;
    zel::IFileSystem& fs_;
    std::string profilePath_;
    bool backUpUnreadableProfile_ = false;
    SettingsStore read_;
    std::vector<std::u16string> notices_;
    std::optional<CImportSettingsStore> presetStore_;
};
