#include "settings/SettingsStore.h"

#include <fmt/format.h>

#include <cstdint>
#include <string>

#include "settings/IniProfile.h"
#include "support/TextCodec.h"

namespace {

constexpr char16_t kGeneral[] = u"General";
constexpr char16_t kPackInfo[] = u"PackInfo";

struct ColorKey {
    const char16_t* key;
    uint32_t DisplaySettings::*field;
};

// In the order the profile has always listed them.
constexpr ColorKey kColorKeys[] = {
    {u"COLOR_SET_FILE_TEXT", &DisplaySettings::colorFileText},
    {u"COLOR_SET_FILE_BACK", &DisplaySettings::colorFileBack},
    {u"COLOR_SET_FOLDER_TEXT", &DisplaySettings::colorFolderText},
    {u"COLOR_SET_FOLDER_BACK", &DisplaySettings::colorFolderBack},
    {u"COLOR_SET_SELECT_TEXT", &DisplaySettings::colorSelectText},
    {u"COLOR_SET_SELECT_BACK", &DisplaySettings::colorSelectBack},
    {u"COLOR_SET_PACK_TEXT", &DisplaySettings::colorPackText},
    {u"COLOR_SET_PACK_BACK", &DisplaySettings::colorPackBack},
    {u"COLOR_SET_GRID_ODD_TEXT", &DisplaySettings::colorGridOddText},
    {u"COLOR_SET_GRID_ODD_BACK", &DisplaySettings::colorGridOddBack},
    {u"COLOR_SET_GRID_EVEN_TEXT", &DisplaySettings::colorGridEvenText},
    {u"COLOR_SET_GRID_EVEN_BACK", &DisplaySettings::colorGridEvenBack},
};

struct IntKey {
    const char16_t* key;
    int32_t DisplaySettings::*field;
};

constexpr IntKey kTrailingIntKeys[] = {
    {u"LINE_HEIGHT", &DisplaySettings::lineHeight},
    {u"DISP_SIZE_UNIT", &DisplaySettings::dispSizeUnit},
    {u"FILTER_ALWAYS", &DisplaySettings::filterAlways},
    {u"SIMPLE_ICON", &DisplaySettings::simpleIcon},
    {u"FIT_IMAGE", &DisplaySettings::fitImage},
    {u"SKIP_ARCHIVED", &DisplaySettings::skipArchived},
    {u"RECORD_MD5", &DisplaySettings::recordMd5},
};

std::u16string PackSection(size_t n) {
    return zel::Utf8ToUtf16(fmt::format("PackInfo {}", n));
}

// The number of a "PackInfo N" section (letter case aside), else 0.
size_t PackSectionNumber(std::u16string_view section) {
    constexpr std::u16string_view kPrefix = u"packinfo ";
    if (section.size() <= kPrefix.size() || section.size() > kPrefix.size() + 9) return 0;
    for (size_t i = 0; i < kPrefix.size(); ++i) {
        char16_t c = section[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
        if (c != kPrefix[i]) return 0;
    }
    size_t n = 0;
    for (char16_t c : section.substr(kPrefix.size())) {
        if (c < u'0' || c > u'9') return 0;
        n = n * 10 + static_cast<size_t>(c - u'0');
    }
    return n;
}

}  // namespace

bool DisplaySettings::operator==(const DisplaySettings& o) const {
    if (fontSize != o.fontSize || fontFace != o.fontFace) return false;
    for (const ColorKey& c : kColorKeys) {
        if (this->*c.field != o.*c.field) return false;
    }
    for (const IntKey& k : kTrailingIntKeys) {
        if (this->*k.field != o.*k.field) return false;
    }
    return true;
}

void SettingsStore::LoadGeneralSettings(const IniProfile& profile) {
    const DisplaySettings defaults;
    general.fontSize = profile.GetInt(kGeneral, u"FONT_SIZE", defaults.fontSize);
    general.fontFace = profile.GetString(kGeneral, u"FONT_FACE", defaults.fontFace);
    for (const ColorKey& c : kColorKeys) {
        general.*c.field = static_cast<uint32_t>(
            profile.GetInt(kGeneral, c.key, static_cast<int32_t>(defaults.*c.field)));
    }
    for (const IntKey& k : kTrailingIntKeys) {
        general.*k.field = profile.GetInt(kGeneral, k.key, defaults.*k.field);
    }
}

void SettingsStore::LoadPackInfoList(const IniProfile& profile) {
    packInfoList.clear();
    if (profile.GetInt(kPackInfo, u"FIRST_FLAG", 1) != 0) {
        packInfoList = DefaultPackInfoList();
        return;
    }
    // Gaps do not end the list; sections past the limit are never read.
    for (size_t n = 1; n <= kMaxPackInfoCount; ++n) {
        const std::u16string section = PackSection(n);
        PackInfo info{profile.GetString(section, u"Name", u""), {}};
        if (info.Name.empty()) continue;
        info.Size = profile.GetString(section, u"Size", u"");
        const std::u16string capacity = profile.GetString(section, u"Capacity", u"");
        if (!ParseCapacity(capacity, info.Capacity) || info.Capacity == 0)
            info.Capacity = DefaultCapacity(info.Name, info.Size);
        packInfoList.push_back(std::move(info));
    }
}

void SettingsStore::SaveGeneralSettings(IniProfile& profile) const {
    profile.SetInt(kGeneral, u"FONT_SIZE", general.fontSize);
    profile.SetString(kGeneral, u"FONT_FACE", general.fontFace);
    for (const ColorKey& c : kColorKeys) {
        profile.SetInt(kGeneral, c.key, static_cast<int32_t>(general.*c.field));
    }
    for (const IntKey& k : kTrailingIntKeys)
        profile.SetInt(kGeneral, k.key, general.*k.field);
}

void SettingsStore::SavePackInfoList(IniProfile& profile) const {
    profile.SetInt(kPackInfo, u"FIRST_FLAG", 0);
    size_t n = 1;
    for (const PackInfo& info : packInfoList) {
        if (n > kMaxPackInfoCount) break;
        const std::u16string section = PackSection(n++);
        profile.SetString(section, u"Name", info.Name);
        profile.SetString(section, u"Size", info.Size);
        if (info.Capacity != 0) {
            profile.SetString(section, u"Capacity",
                              zel::Utf8ToUtf16(std::to_string(info.Capacity)));
        }
    }
}

void SettingsStore::Load(zel::IFileSystem& fs, const std::string& profilePath) {
    IniProfile profile;
    if (!profilePath.empty()) profile.Load(profilePath, fs);
    LoadGeneralSettings(profile);
    LoadPackInfoList(profile);
}

bool SettingsStore::Save(zel::IFileSystem& fs, const std::string& profilePath, int& error) const {
    IniProfile profile;
    SaveGeneralSettings(profile);
    SavePackInfoList(profile);
    return profile.Save(profilePath, fs, error);
}

void SettingsStore::MergeInto(IniProfile& profile, const SettingsStore& read) const {
    IniProfile now, then;
    SaveGeneralSettings(now);
    read.SaveGeneralSettings(then);
    for (const auto& [section, key] : now.Keys()) {
        const std::u16string value = now.GetString(section, key, u"");
        if (value != then.GetString(section, key, u"") || !profile.Has(section, key))
            profile.SetString(section, key, value);
    }

    IniProfile nowPacks, thenPacks;
    SavePackInfoList(nowPacks);
    read.SavePackInfoList(thenPacks);
    SettingsStore packs;
    if (nowPacks.ToText() != thenPacks.ToText() || !profile.Has(kPackInfo, u"FIRST_FLAG")) {
        packs.packInfoList = packInfoList;
    } else {
        packs.LoadPackInfoList(profile);
    }
    for (const std::u16string& section : profile.SectionNames()) {
        if (PackSectionNumber(section) != 0) profile.RemoveSection(section);
    }
    packs.SavePackInfoList(profile);
}

size_t SettingsStore::PackSectionsBeyondLimit(const IniProfile& profile) {
    size_t count = 0;
    for (const std::u16string& section : profile.SectionNames()) {
        if (PackSectionNumber(section) > kMaxPackInfoCount &&
            !profile.GetString(section, u"Name", u"").empty())
            ++count;
    }
    return count;
}
