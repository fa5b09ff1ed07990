#pragma once
// The profile file: "[section]" headers and "key=value" lines in UTF-8 (CR, LF
// or CR LF end a line). Section and key names are matched without regard to
// ASCII case and the first occurrence wins. Values are trimmed of blanks; one
// pair of enclosing quotes is removed on reading, and a value that would
// otherwise lose blanks or quotes is written inside an extra pair, so every
// text reads back as it was set.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/FileSystem.h"

class IniProfile {
public:
    static constexpr size_t kMaxFileSize = 16u << 20;

    // Replaces the contents with the file's. A missing file gives an empty
    // profile and true; anything but a regular file, a file over kMaxFileSize or
    // a read error gives an empty profile, false and the errno.
    bool Load(const std::string& path, zel::IFileSystem& fs, int& error);
    bool Load(const std::string& path, zel::IFileSystem& fs = zel::IFileSystem::Default());

    // A full rewrite (sections and keys in insertion order, LF line ends) through
    // a temporary file, so a failure leaves the old file as it was.
    bool Save(const std::string& path, zel::IFileSystem& fs, int& error) const;
    bool Save(const std::string& path, zel::IFileSystem& fs = zel::IFileSystem::Default()) const;

    // A missing key or an empty value gives the default. Integers are an optional
    // sign and the leading digits (0 when there are none), clamped to 32 bits.
    int32_t GetInt(std::u16string_view section, std::u16string_view key,
                   int32_t defaultValue) const;
    std::u16string GetString(std::u16string_view section, std::u16string_view key,
                             std::u16string_view defaultValue) const;

    // Replaces the first matching key or appends it (and the section) at the end.
    void SetInt(std::u16string_view section, std::u16string_view key, int32_t value);
    void SetString(std::u16string_view section, std::u16string_view key, std::u16string_view value);

    // Whether the key is there, also with an empty value.
    bool Has(std::u16string_view section, std::u16string_view key) const;
    // Every section name as stored, in order.
    std::vector<std::u16string> SectionNames() const;
    // Removes every section of that name (letter case aside) with its keys.
    void RemoveSection(std::u16string_view section);

    void Clear() { sections_.clear(); }
    bool Empty() const { return sections_.empty(); }

    // The file's text for the current contents.
    std::string ToText() const;
    // Replaces the contents with those of a file's text.
    void Parse(std::string_view text);

    // Every section name and key as stored, in order, duplicates included.
    std::vector<std::pair<std::u16string, std::u16string>> Keys() const;

private:
    struct Entry {
        std::u16string key;
        std::u16string value;
    };
    struct Section {
        std::u16string name;
        std::vector<Entry> entries;
    };

    const Section* FindSection(std::u16string_view name) const;
    const std::u16string* FindValue(std::u16string_view section, std::u16string_view key) const;

    std::vector<Section> sections_;
};
