#include "intake/ImportSettingsFile.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <utility>

#include "intake/AttrImportFilter.h"
#include "intake/FileNameImportFilter.h"
#include "intake/LoadImportSettingsReceiver.h"
#include "model/PackItem.h"
#include "support/AtomicFileWriter.h"
#include "support/FileLock.h"
#include "support/TextCodec.h"
#include "support/UiText.h"
#include "support/ZelConfReader.h"

namespace {

CImportSettingsPtr MakeAllFilesSettings(std::u16string name) {
    auto settings = boost::make_shared<CImportSettings>();
    settings->name = std::move(name);
    settings->inputFilters.push_back(boost::make_shared<CFileNameImportFilter>(u"*.*", 0));
    return settings;
}

void AppendLine(std::string& out, std::u16string_view line) {
    out += zel::Utf16ToUtf8(line);
    out += "\r\n";
}

void AppendFilter(std::string& out, const CImportFilter& filter) {
    AppendLine(out, u"<Filter>");
    const uint32_t type = filter.GetFilterType();
    if (type == CImportFilter::TypeFileName) {
        if (auto* name = dynamic_cast<const CFileNameImportFilter*>(&filter)) {
            AppendLine(out, u"type=filename");
            AppendLine(out, u"string=" + QuotePresetText(name->Pattern()));
            AppendLine(out, u"nocase=" + zel::U16(std::to_string(name->NoCase())));
        }
    } else if (type == CImportFilter::TypeAttributes) {
        if (auto* attr = dynamic_cast<const CAttrImportFilter*>(&filter)) {
            AppendLine(out, u"type=attributes");
            std::u16string line = u"attr=";
            for (uint32_t bit : {kAttrReadOnly, kAttrArchive, kAttrHidden, kAttrSystem}) {
                line += (attr->Attr() & bit) ? u"1," : u"0,";
            }
            AppendLine(out, line);
            AppendLine(out, u"func=" + zel::U16(std::to_string(attr->Func())));
        }
    }
    AppendLine(out, u"</Filter>");
}

bool HasLineBreak(std::u16string_view text) {
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

// A name or pattern with a line break would come back as several entries.
bool FindUnwritableText(const ImportSettingsList& presets, std::u16string& offending) {
    for (const auto& preset : presets) {
        if (HasLineBreak(preset->name)) {
            offending = preset->name;
            return true;
        }
        for (const auto* list : {&preset->inputFilters, &preset->ignoreFilters}) {
            for (const auto& filter : *list) {
                auto* name = dynamic_cast<const CFileNameImportFilter*>(filter.get());
                if (name && HasLineBreak(name->Pattern())) {
                    offending = name->Pattern();
                    return true;
                }
            }
        }
    }
    return false;
}

std::string FailureMessage(const std::string& path, const std::string& detail) {
    return TrFormat("インポート設定ファイル「{path}」を保存できませんでした。\n{reason}",
                    fmt::arg("path", path), fmt::arg("reason", detail));
}

}  // namespace

CImportSettingsPtr MakeDefaultImportSettings() {
    return MakeAllFilesSettings(u"all files");
}

CImportSettingsPtr MakeViewDefaultImportSettings() {
    return MakeAllFilesSettings(u"");
}

std::string ImportSettingsPath(const std::string& folderPath) {
    if (folderPath.empty()) return std::string();
    std::string path = folderPath;
    if (path.back() != '/') path += '/';
    return path + kImportSettingsFileName;
}

std::string FormatImportSettings(const ImportSettingsList& presets) {
    std::string out;
    for (const auto& preset : presets) {
        AppendLine(out, u"<ImportSettings>");
        AppendLine(out, u"Name=" + QuotePresetText(preset->name));
        AppendLine(out, u"AutoGroup=" + zel::U16(std::to_string(preset->AutoGroup)));
        AppendLine(out, u"<InputFilter>");
        for (const auto& filter : preset->inputFilters)
            AppendFilter(out, *filter);
        AppendLine(out, u"</InputFilter>");
        AppendLine(out, u"<IgnoreFilter>");
        for (const auto& filter : preset->ignoreFilters)
            AppendFilter(out, *filter);
        AppendLine(out, u"</IgnoreFilter>");
        AppendLine(out, u"</ImportSettings>");
        AppendLine(out, u"");
    }
    return out;
}

ImportSettingsRead ReadImportSettings(zel::IFileSystem& fs, const std::string& folderPath,
                                      ImportSettingsList& out) {
    ImportSettingsRead read;
    const std::string path = ImportSettingsPath(folderPath);
    if (!path.empty()) {
        LoadImportSettingsReceiver receiver;
        ZelConfReader reader(&receiver, true, fs);
        if (reader.Load(path) != 0) {
            receiver.Finish();
            out = std::move(receiver.Result());
            read.loaded = true;
            read.damaged = receiver.Damaged();
            return read;
        }
        zel::FileStat st;
        read.existedButFailed = fs.Lstat(path, st) == 0;
    }
    out.clear();
    out.push_back(MakeDefaultImportSettings());
    return read;
}

bool LoadImportSettings(zel::IFileSystem& fs, const std::string& folderPath,
                        ImportSettingsList& out, bool* existedButFailed) {
    const ImportSettingsRead read = ReadImportSettings(fs, folderPath, out);
    if (existedButFailed) *existedButFailed = read.existedButFailed;
    return read.loaded;
}

std::u16string DamagedPresetsMessage(const std::string& path,
                                     const std::vector<DamagedPreset>& damaged) {
    if (damaged.empty()) return {};
    std::u16string which;
    for (const DamagedPreset& preset : damaged) {
        // The separator of a list of names: "、" or ", ".
        if (!which.empty()) which += Tr16("、");
        which +=
            preset.name.empty()
                ? Tr16Format("{position} 番目のプリセット", fmt::arg("position", preset.position))
                : Tr16Format("「{name}」",
                             fmt::arg("name", zel::Utf16ToUtf8(zel::ForDisplay(preset.name))));
    }
    return Tr16Format(
        "インポート設定ファイル「{path}」は壊れています。{presets}は途中で切れているため読み込みま"
        "せんでした。\n元のファイルは、次にプリセットを保存するときに「{backup}」として残します。",
        fmt::arg("path", zel::Utf16ToUtf8(zel::ForDisplay(zel::DecodeFileName(path)))),
        fmt::arg("presets", zel::Utf16ToUtf8(which)),
        fmt::arg("backup", std::string(kImportSettingsFileName) + kImportSettingsBackupSuffix));
}

bool SaveImportSettings(zel::IFileSystem& fs, const std::string& folderPath,
                        const ImportSettingsList& presets, std::string& message,
                        bool backUpOldFile) {
    message.clear();
    const std::string path = ImportSettingsPath(folderPath);
    if (path.empty()) {
        message = Tr("インポート設定ファイルの保存先フォルダがありません。");
        return false;
    }
    std::u16string offending;
    if (FindUnwritableText(presets, offending)) {
        message = FailureMessage(path, TrFormat("改行を含む名前やパターンは保存できません: {text}",
                                                fmt::arg("text", zel::Utf16ToUtf8(offending))));
        return false;
    }

    const std::string backupPath = path + kImportSettingsBackupSuffix;
    bool movedAside = false;
    if (backUpOldFile) {
        zel::FileStat st;
        if (fs.Lstat(path, st) == 0) {
            const int error = fs.Rename(path, backupPath);
            if (error != 0) {
                message = FailureMessage(
                    path,
                    TrFormat("読み込めなかったファイルを「{path}」に退避できませんでした: {reason}",
                             fmt::arg("path", backupPath),
                             fmt::arg("reason", zel::ErrorText(error))));
                return false;
            }
            movedAside = true;
        }
    }

    zel::AtomicFileWriter writer(fs);
    bool ok = writer.Open(path);
    if (ok) ok = writer.Write(FormatImportSettings(presets));
    if (ok) ok = writer.Commit();
    if (ok) return true;

    writer.Abort();
    std::string detail = writer.ErrorStep() + ": " + zel::ErrorText(writer.Error());
    if (movedAside && fs.Rename(backupPath, path) != 0) {
        detail += TrFormat("\n元のファイルは「{path}」にあります。", fmt::arg("path", backupPath));
    }
    message = FailureMessage(path, detail);
    return false;
}

CImportSettingsStore::CImportSettingsStore(zel::IFileSystem& fs, std::string folderPath)
    : fs_(fs), folderPath_(std::move(folderPath)) {}

bool CImportSettingsStore::Load() {
    lastLoad_ = ReadImportSettings(fs_, folderPath_, presets);
    return lastLoad_.loaded;
}

namespace {

bool Holds(const ImportSettingsList& list, const CImportSettingsPtr& preset) {
    return std::find(list.begin(), list.end(), preset) != list.end();
}

ImportSettingsList::iterator FindByName(ImportSettingsList& list, const std::u16string& name) {
    return std::find_if(list.begin(), list.end(), [&](const CImportSettingsPtr& preset) {
        return preset && ComparePathsNoCase(preset->name, name) == 0;
    });
}

}  // namespace

CImportSettingsStore::SaveResult CImportSettingsStore::Save(const ImportSettingsList& edited,
                                                            std::string& message) {
    message.clear();
    const std::string path = ImportSettingsPath(folderPath_);
    if (path.empty()) {
        message = Tr("インポート設定ファイルの保存先フォルダがありません。");
        return SaveResult::Failed;
    }
    const zel::FileLock lock(fs_, path);
    if (lock.Error() != 0) {
        message = FailureMessage(path, TrFormat("ロックできませんでした: {reason}",
                                                fmt::arg("reason", zel::ErrorText(lock.Error()))));
        return SaveResult::Failed;
    }
    ImportSettingsList onDisk;
    const ImportSettingsRead read = ReadImportSettings(fs_, folderPath_, onDisk);

    ImportSettingsList merged = onDisk;
    for (const CImportSettingsPtr& preset : presets) {
        if (!preset || Holds(edited, preset)) continue;
        // Already gone when another window deleted it first.
        const auto found = FindByName(merged, preset->name);
        if (found != merged.end()) merged.erase(found);
    }
    for (const CImportSettingsPtr& preset : edited) {
        if (!preset || Holds(presets, preset)) continue;
        if (FindByName(merged, preset->name) != merged.end()) {
            presets = std::move(onDisk);
            return SaveResult::NameTaken;
        }
        merged.push_back(preset);
    }
    if (!SaveImportSettings(fs_, folderPath_, merged, message, read.KeepOriginal()))
        return SaveResult::Failed;
    presets = std::move(merged);
    return SaveResult::Written;
}
