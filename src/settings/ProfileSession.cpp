#include "settings/ProfileSession.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

#include "settings/IniProfile.h"
#include "support/TextCodec.h"

namespace {

std::u16string Shown(const std::string& path) {
    return zel::ForDisplay(zel::DecodeFileName(path));
}

std::u16string Reason(int error) {
    return zel::Utf8ToUtf16(zel::ErrorText(error));
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
        message = u"設定ファイルのフォルダ「" + Shown(folder) + u"」を作成できませんでした（" +
                  Reason(error ? error : ENOENT) + u"）。別の場所を選んでください。";
        sys_.SetConfigurationFolder(previous);
        return false;
    }
    if (const int probe = ProbeWritable(fs_, sys_.GetConfigurationFolder()); probe != 0) {
        message = u"設定ファイルのフォルダ「" + Shown(sys_.GetConfigurationFolder()) +
                  u"」に書き込めません（" + Reason(probe) + u"）。別の場所を選んでください。";
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

    presetStore_.emplace(fs_, sys_.GetConfigurationFolder());
    presetStore_->Load();
    sys_.presets = presetStore_->presets;
}

bool CProfileSession::Save(std::u16string& message) {
    if (profilePath_.empty()) return true;
    if (backUpUnreadableProfile_) {
        const std::string backup = profilePath_ + ".bak";
        if (const int error = fs_.Rename(profilePath_, backup); error != 0 && error != ENOENT) {
            message = u"読み込めなかった設定ファイル「" + Shown(profilePath_) +
                      u"」を退避できないため、設定を保存しませんでした（" + Reason(error) + u"）。";
            return false;
        }
        backUpUnreadableProfile_ = false;
    }
    int error = 0;
    if (!settings_.Save(fs_, profilePath_, error)) {
        message = u"設定ファイル「" + Shown(profilePath_) + u"」を保存できませんでした（" +
                  Reason(error) + u"）。";
        return false;
    }
    return true;
}

bool CProfileSession::SavePresets(std::u16string& message) {
    if (!presetStore_) presetStore_.emplace(fs_, sys_.GetConfigurationFolder());
    presetStore_->presets = sys_.presets;
    std::string text;
    if (presetStore_->Save(text)) return true;
    message = zel::Utf8ToUtf16(text);
    return false;
}
