#include "settings/ProfileSession.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

#include "intake/ImportSettingsEditor.h"
#include "settings/IniProfile.h"
#include "support/AtomicFileWriter.h"
#include "support/FileLock.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace {

std::string Shown(const std::string& path) {
    return zel::Utf16ToUtf8(zel::ForDisplay(zel::DecodeFileName(path)));
}

// A folder can hold the profile when a new file can be made in it: an installed
// program folder exists but belongs to root.
int ProbeWritable(zel::IFileSystem& fs, const std::string& folder) {
    int error = EEXIST;
    for (int attempt = 0; attempt < 10 && error == EEXIST; ++attempt) {
        const std::string probe = folder + "/.Corvelin-probe-" + std::to_string(::getpid()) + "-" +
                                  std::to_string(attempt);
        int fd = -1;
        error = fs.OpenForWrite(probe, true, 0600, fd);
        if (error == 0) {
            fs.Close(fd);
            fs.Remove(probe);
        }
    }
    return error;
}

}  // namespace

CProfileSession::CProfileSession(CorvelinSys& sys, SettingsStore& settings, zel::IFileSystem& fs)
    : sys_(sys), settings_(settings), fs_(fs) {}

bool CProfileSession::FindProfile() {
    const bool found = sys_.FindProfile();
    profilePath_ = sys_.GetProfilePath();
    return found;
}

bool CProfileSession::ChooseLocation(int location, std::u16string& message) {
    const std::string folder = sys_.GetLocationFolder(location);
    const std::string previous = sys_.GetConfigurationFolder();
    int error = 0;
    if (folder.empty() || !sys_.CreateLocation(location, &error)) {
        message = Tr16Format(
            "設定ファイルのフォルダ「{path}」を作成できませんでした（{reason}）。"
            "別の場所を選んでください。",
            fmt::arg("path", Shown(folder)),
            fmt::arg("reason", zel::ErrorText(error ? error : ENOENT)));
        sys_.SetConfigurationFolder(previous);
        return false;
    }
    if (const int probe = ProbeWritable(fs_, sys_.GetConfigurationFolder()); probe != 0) {
        message = Tr16Format(
            "設定ファイルのフォルダ「{path}」に書き込めません（{reason}"
            "）。別の場所を選んでください。",
            fmt::arg("path", Shown(sys_.GetConfigurationFolder())),
            fmt::arg("reason", zel::ErrorText(probe)));
        sys_.SetConfigurationFolder(previous);
        return false;
    }
    profilePath_ = sys_.GetProfilePath();
    return true;
}

void CProfileSession::RunWithoutProfile() {
    sys_.SetConfigurationFolder({});
    profilePath_.clear();
}

void CProfileSession::Load() {
    IniProfile profile;
    if (!profilePath_.empty()) {
        int error = 0;
        if (!profile.Load(profilePath_, fs_, error)) backUpUnreadableProfile_ = true;
    }
    settings_.LoadGeneralSettings(profile);
    settings_.LoadPackInfoList(profile);
    read_ = settings_;
    notices_.clear();
    if (const size_t beyond = SettingsStore::PackSectionsBeyondLimit(profile); beyond != 0) {
        notices_.push_back(Tr16Format(
            "設定ファイル「{path}」には、登録できる {limit} 件を超えるパックサイズが {count} "
            "件あります。これらは読み込まず、終了するときに元のファイルを「{backup}"
            "」として残します。",
            fmt::arg("path", Shown(profilePath_)), fmt::arg("limit", kMaxPackInfoCount),
            fmt::arg("count", beyond), fmt::arg("backup", Shown(profilePath_ + ".bak"))));
    }

    presetStore_.emplace(fs_, sys_.GetConfigurationFolder());
    presetStore_->Load();
    sys_.presets = presetStore_->presets;
    const std::u16string damaged = DamagedPresetsMessage(
        ImportSettingsPath(sys_.GetConfigurationFolder()), presetStore_->LastLoad().damaged);
    if (!damaged.empty()) notices_.push_back(damaged);
}

bool CProfileSession::Save(std::u16string& message) {
    if (profilePath_.empty()) return true;
    const zel::FileLock lock(fs_, profilePath_);
    if (lock.Error() != 0) {
        message = Tr16Format(
            "設定ファイル「{path}」をロックできないため、設定を保存しませんでした（{reason}）。",
            fmt::arg("path", Shown(profilePath_)),
            fmt::arg("reason", zel::ErrorText(lock.Error())));
        return false;
    }
    IniProfile onDisk;
    std::string text;
    if (!backUpUnreadableProfile_) {
        const int error = fs_.ReadFile(profilePath_, IniProfile::kMaxFileSize, text);
        if (error != 0 && error != ENOENT) backUpUnreadableProfile_ = true;
        if (error == 0) onDisk.Parse(text);
    }
    const std::string backup = profilePath_ + ".bak";
    if (backUpUnreadableProfile_) {
        if (const int error = fs_.Rename(profilePath_, backup); error != 0 && error != ENOENT) {
            message = Tr16Format(
                "読み込めなかった設定ファイル「{path}」を退避できないため、設定を保存しませんでした"
                "（{reason}）。",
                fmt::arg("path", Shown(profilePath_)), fmt::arg("reason", zel::ErrorText(error)));
            return false;
        }
        backUpUnreadableProfile_ = false;
    } else if (SettingsStore::PackSectionsBeyondLimit(onDisk) != 0) {
        // A copy, not a rename: the profile must stay in place for a window
        // starting meanwhile.
        int error = 0;
        if (!zel::WriteFileAtomically(fs_, backup, text, error)) {
            message = Tr16Format(
                "設定ファイル「{path}」の控え「{backup}」を作れないため、設定を保存しませんでした"
                "（{reason}）。",
                fmt::arg("path", Shown(profilePath_)), fmt::arg("backup", Shown(backup)),
                fmt::arg("reason", zel::ErrorText(error)));
            return false;
        }
    }
    settings_.MergeInto(onDisk, read_);
    int error = 0;
    if (!onDisk.Save(profilePath_, fs_, error)) {
        message = Tr16Format("設定ファイル「{path}」を保存できませんでした（{reason}）。",
                             fmt::arg("path", Shown(profilePath_)),
                             fmt::arg("reason", zel::ErrorText(error)));
        return false;
    }
    read_ = settings_;
    return true;
}

bool CProfileSession::SavePresets(std::u16string& message) {
    if (!presetStore_) presetStore_.emplace(fs_, sys_.GetConfigurationFolder());
    std::string text;
    switch (presetStore_->Save(sys_.presets, text)) {
        case CImportSettingsStore::SaveResult::Written:
            sys_.presets = presetStore_->presets;
            return true;
        case CImportSettingsStore::SaveResult::NameTaken:
            sys_.presets = presetStore_->presets;
            message = import_settings_text::DuplicatePreset();
            return false;
        case CImportSettingsStore::SaveResult::Failed:
            break;
    }
    message = zel::Utf8ToUtf16(text);
    return false;
}
