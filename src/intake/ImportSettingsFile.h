#pragma once
// The presets file "ImportSettings.xml" in the profile folder: a line-oriented
// key=value text with tag lines, UTF-8 without byte-order mark, CR LF line ends.

#include <string>

#include "intake/ImportSettings.h"
#include "support/FileSystem.h"

constexpr char kImportSettingsFileName[] = "ImportSettings.xml";
constexpr char kImportSettingsBackupSuffix[] = ".bak";

// The preset used when the file cannot be read: "all files", input "*.*".
CImportSettingsPtr MakeDefaultImportSettings();
// The list view's own settings: no name, input "*.*".
CImportSettingsPtr MakeViewDefaultImportSettings();

// The file's path in a folder; empty when there is no folder (nothing is then
// read or written rather than resolving against the working directory).
std::string ImportSettingsPath(const std::string& folderPath);

// The whole file text of a preset list.
std::string FormatImportSettings(const ImportSettingsList& presets);

// Reads the file of the folder. Returns whether it loaded; a file without any
// complete preset still loads, as an empty list. Otherwise `out` holds only the
// built-in preset, and *existedButFailed tells whether something was at the path
// (unreadable, not a regular file, too large) that a later save must not destroy.
bool LoadImportSettings(zel::IFileSystem& fs, const std::string& folderPath,
                        ImportSettingsList& out, bool* existedButFailed = nullptr);

// Rewrites the file atomically. With backUpOldFile the file at the path is first
// renamed to ImportSettings.xml.bak (and put back if the write then fails). On
// failure returns false with a Japanese message; the old file is left as it was.
bool SaveImportSettings(zel::IFileSystem& fs, const std::string& folderPath,
                        const ImportSettingsList& presets, std::string& message,
                        bool backUpOldFile = false);

// The application's presets with their file. It keeps the one piece of state a
// save needs from the load: a file that existed but did not load is kept as
// ImportSettings.xml.bak before the first rewrite, never silently replaced.
class CImportSettingsStore {
public:
    CImportSettingsStore(zel::IFileSystem& fs, std::string folderPath);

    // Replaces the list from the file (built-in preset when it does not load).
    bool Load();
    // Writes the list; false with a message when the file could not be written.
    bool Save(std::string& message);

    const std::string& FolderPath() const { return folderPath_; }
    bool BackupPending() const { return backupPending_; }

    ImportSettingsList presets;

private:
    zel::IFileSystem& fs_;
    std::string folderPath_;
    bool backupPending_ = false;
};
