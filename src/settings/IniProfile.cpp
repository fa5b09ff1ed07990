#include "settings/IniProfile.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include "support/AtomicFileWriter.h"
#include "support/TextCodec.h"

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsQuoted(std::u16string_view text) {
    return text.size() >= 2 && text.front() == u'"' && text.back() == u'"';
}

char16_t FoldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? c - u'A' + u'a' : c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

int32_t ParseInt(std::u16string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate with a ceiling so that long digit runs cannot overflow.
    constexpr int64_t kCeiling = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > kCeiling) value = kCeiling;
    }
    if (negative) return static_cast<int32_t>(-value);  // -2^31 at the most
    return value > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                       : static_cast<int32_t>(value);
}

// One line of the file: no line breaks inside, since a break would start a new
// entry on reading.
std::string LineText(std::u16string_view text) {
    std::string out = zel::Utf16ToUtf8(text);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

}  // namespace

bool IniProfile::Load(const std::string& path, zel::IFileSystem& fs, int& error) {
    Clear();
    std::string text;
    error = fs.ReadFile(path, kMaxFileSize, text);
    if (error == ENOENT) {
        error = 0;
        return true;
    }
    if (error != 0) return false;
    Parse(text);
    return true;
}

bool IniProfile::Load(const std::string& path, zel::IFileSystem& fs) {
    int error = 0;
    return Load(path, fs, error);
}

bool IniProfile::Save(const std::string& path, zel::IFileSystem& fs, int& error) const {
    return zel::WriteFileAtomically(fs, path, ToText(), error);
}

bool IniProfile::Save(const std::string& path, zel::IFileSystem& fs) const {
    int error = 0;
    return Save(path, fs, error);
}

void IniProfile::Parse(std::string_view text) {
    Clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    Section* current = nullptr;
    while (!text.empty()) {
        // A CR ends a line as LF does: kept inside a text, it could not be
        // written back (the writer keeps every text on one line).
        const size_t eol = text.find_first_of("\r\n");
        const std::string_view raw = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);

        const std::u16string decoded = zel::Utf8ToUtf16(raw);
        const std::u16string_view line = Trimmed(decoded);
        if (line.empty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            const size_t close = line.find(u']');
            if (close == std::u16string_view::npos) {
                // Keys after a broken header must not land in the previous section.
                current = nullptr;
                continue;
            }
            sections_.push_back(Section{std::u16string(Trimmed(line.substr(1, close - 1))), {}});
            current = &sections_.back();
            continue;
        }
        const size_t eq = line.find(u'=');
        if (!current || eq == std::u16string_view::npos) continue;
        const std::u16string_view key = Trimmed(line.substr(0, eq));
        if (key.empty()) continue;
        std::u16string_view value = Trimmed(line.substr(eq + 1));
        if (IsQuoted(value)) value = value.substr(1, value.size() - 2);
        current->entries.push_back(Entry{std::u16string(key), std::u16string(value)});
    }
}

std::string IniProfile::ToText() const {
    std::string out;
    for (const Section& section : sections_) {
        if (!out.empty()) out.push_back('\n');
        out += "[" + LineText(section.name) + "]\n";
        for (const Entry& entry : section.entries) {
            out += LineText(entry.key);
            out.push_back('=');
            const std::u16string_view value = entry.value;
            const bool protect = !value.empty() && (IsBlank(value.front()) ||
                                                    IsBlank(value.back()) || IsQuoted(value));
            if (protect) out.push_back('"');
            out += LineText(value);
            if (protect) out.push_back('"');
            out.push_back('\n');
        }
    }
    return out;
}

std::vector<std::pair<std::u16string, std::u16string>> IniProfile::Keys() const {
    std::vector<std::pair<std::u16string, std::u16string>> keys;
    for (const Section& section : sections_) {
        for (const Entry& entry : section.entries)
            keys.emplace_back(section.name, entry.key);
    }
    return keys;
}

const IniProfile::Section* IniProfile::FindSection(std::u16string_view name) const {
    for (const Section& section : sections_) {
        if (SameName(section.name, name)) return &section;
    }
    return nullptr;
}

const std::u16string* IniProfile::FindValue(std::u16string_view section,
                                            std::u16string_view key) const {
    const Section* found = FindSection(section);
    if (!found) return nullptr;
    for (const Entry& entry : found->entries) {
        if (SameName(entry.key, key)) return &entry.value;
    }
    return nullptr;
}

int32_t IniProfile::GetInt(std::u16string_view section, std::u16string_view key,
                           int32_t defaultValue) const {
    const std::u16string* value = FindValue(section, key);
    if (!value || value->empty()) return defaultValue;
    return ParseInt(Trimmed(*value));
}

std::u16string IniProfile::GetString(std::u16string_view section, std::u16string_view key,
                                     std::u16string_view defaultValue) const {
    const std::u16string* value = FindValue(section, key);
    if (!value || value->empty()) return std::u16string(defaultValue);
    return *value;
}

void IniProfile::SetInt(std::u16string_view section, std::u16string_view key, int32_t value) {
    SetString(section, key, zel::Utf8ToUtf16(std::to_string(value)));
}

void IniProfile::SetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) {
    auto* found = const_cast<Section*>(FindSection(section));
    if (!found) {
        sections_.push_back(Section{std::u16string(section), {}});
        found = &sections_.back();
    }
    for (Entry& entry : found->entries) {
        if (SameName(entry.key, key)) {
            entry.value = std::u16string(value);
            return;
        }
    }
    found->entries.push_back(Entry{std::u16string(key), std::u16string(value)});
}

bool IniProfile::Has(std::u16string_view section, std::u16string_view key) const {
    return FindValue(section, key) != nullptr;
}

std::vector<std::u16string> IniProfile::SectionNames() const {
    std::vector<std::u16string> names;
    for (const Section& section : sections_)
        names.push_back(section.name);
    return names;
}

void IniProfile::RemoveSection(std::u16string_view section) {
    sections_.erase(std::remove_if(sections_.begin(), sections_.end(),
                                   [&](const Section& s) { return SameName(s.name, section); }),
                    sections_.end());
}
