#pragma once

#include <cstdint>
#include <string>

#include "settings/PackInfo.h"
#include "support/FileSystem.h"

class IniProfile;

// The display settings of section "General". Colours are 0x00BBGGRR.
struct DisplaySettings {
    int32_t fontSize = 12;
    std::u16string fontFace = u"ＭＳ ゴシック";
    uint32_t colorFileText = 0;
    uint32_t colorFileBack = 16777215;
    uint32_t colorFolderText = 16711680;
    uint32_t colorFolderBack = 16777215;
    uint32_t colorSelectText = 16777215;
    uint32_t colorSelectBack = 16744448;
    uint32_t colorPackText = 16777215;
    uint32_t colorPackBack = 13936246;
    uint32_t colorGridOddText = 0;
    uint32_t colorGridOddBack = 15395562;
    uint32_t colorGridEvenText = 0;
    uint32_t colorGridEvenBack = 16777215;
    int32_t lineHeight = 1;
    int32_t dispSizeUnit = 0;
    int32_t filterAlways = 0;
    int32_t simpleIcon = 1;
    // Non-zero: runs pack against the estimated image size, so every pack fits
    // its medium as a disc image.
    int32_t fitImage = 0;
    // Non-zero: drops leave out files the archive catalog already holds.
    int32_t skipArchived = 0;
    // Non-zero: images and discs also get xorriso's MD5 records, and packs
    // fitted to images leave room for them.
    int32_t recordMd5 = 0;

    bool operator==(const DisplaySettings& o) const;
};

// The user's settings for one run of a program: read once from the profile,
// written back whole at exit.
class SettingsStore {
public:
    DisplaySettings general;
    PackInfoList packInfoList = DefaultPackInfoList();

    void LoadGeneralSettings(const IniProfile& profile);
    void LoadPackInfoList(const IniProfile& profile);
    void SaveGeneralSettings(IniProfile& profile) const;
    void SavePackInfoList(IniProfile& profile) const;

    // Writes into `profile`, the file as another window may have left it, what
    // this store changed since it was `read`, compared as the profile stores
    // it; a key the profile lacks gets this store's value. The pack-size list
    // goes as one unit: this store's when it changed, else the one the profile
    // holds; either way its sections are written anew, so none past the limit
    // survives.
    void MergeInto(IniProfile& profile, const SettingsStore& read) const;
    // Pack-size sections with a name numbered past what the list keeps, which
    // a rewrite of the list drops.
    static size_t PackSectionsBeyondLimit(const IniProfile& profile);

    // Reads the profile file; a missing or unreadable file leaves the defaults.
    void Load(zel::IFileSystem& fs, const std::string& profilePath);
    // Rewrites the profile file whole (temporary file and rename); false with
    // errno in error when it cannot be written, the old file then intact.
    bool Save(zel::IFileSystem& fs, const std::string& profilePath, int& error) const;
};
