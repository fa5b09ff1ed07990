#pragma once
// The presets file "ImportSettings.xml" in the profile folder: a line-oriented
// key=value text with tag lines, UTF-8 without byte-order mark, CR LF line ends.

#include <string>
#include <vector>

#include "intake/ImportSettings.h"
#include "intake/LoadImportSettingsReceiver.h"
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

// What one read of the file found.
struct ImportSettingsRead {
    bool loaded = false;            // false: the list is the built-in preset
    bool existedButFailed = false;  // something was at the path but did not load
    std::vector<DamagedPreset> damaged;
    // The file is someone's data that a rewrite would lose in part.
    bool KeepOriginal() const { return existedButFailed || !damaged.empty(); }
};

// Reads the file of the folder into `out`. A file without any complete preset
// still loads, as an empty list; damaged presets are left out and listed.
// Otherwise `out` holds only the built-in preset.
ImportSettingsRead ReadImportSettings(zel::IFileSystem& fs, const std::string& folderPath,
                                      ImportSettingsList& out);
// The same, for callers that only need to know whether it loaded.
bool LoadImportSettings(zel::IFileSystem& fs, const std::string& folderPath,
                        ImportSettingsList& out, bool* existedButFailed = nullptr);

// The warning for a file read only in part (empty when nothing was damaged):
// which presets were lost, and that the original is kept as the backup.
std::u16string DamagedPresetsMessage(const std::string& path,
                                     const std::vector<DamagedPreset>& damaged);

// Rewrites the file atomically. With backUpOldFile the file at the path is first
// renamed to ImportSettings.xml.bak (and put back if the write then fails). On
// failure returns false with a Japanese message; the old file is left as it was.
bool SaveImportSettings(zel::IFileSystem& fs, const std::string& folderPath,
                        const ImportSettingsList& presets, std::string& message,
                        bool backUpOldFile = false);

// The application's presets with their file, which another window of the same
// profile may change at any time: a save applies only this window's change to
// the file as it is then, never the whole list read at the start.
class CImportSettingsStore {
public:
    enum class SaveResult { Written, NameTaken, Failed };

    CImportSettingsStore(zel::IFileSystem& fs, std::string folderPath);

    // Replaces the list from the file (built-in preset when it does not load).
    bool Load();
    const ImportSettingsRead& LastLoad() const { return lastLoad_; }

    // Applies what `edited` changed since the list was last read or written
    // (presets, held by the same pointers, removed from it or added to it) to
    // the file as it is now, each found there by name, letter case aside. Runs
    // under a lock on ImportSettings.xml.lock and writes through a temporary
    // file; a file that did not load or holds a damaged preset is first kept as
    // ImportSettings.xml.bak. Written: presets is what the file now holds (a
    // preset removed meanwhile stays removed). NameTaken: the file already has
    // a new preset's name, saved by another window; nothing is written and
    // presets is the file's list. Failed: message says why; presets unchanged.
    SaveResult Save(const ImportSettingsList& edited, std::string& message);

    const std::string& FolderPath() const { return folderPath_; }

    ImportSettingsList presets;

private:
    zel::IFileSystem& fs_;
    std::string folderPath_;
    ImportSettingsRead lastLoad_;
};
