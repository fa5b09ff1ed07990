#include "disc/ChecksumList.h"

namespace {

bool IsHexDigest(std::string_view text) {
    if (text.size() != 64) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

bool UnescapeName(std::string_view name, std::string& out) {
    out.clear();
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            out += name[i];
            continue;
        }
        if (++i == name.size()) return false;
        if (name[i] == '\\') {
            out += '\\';
        } else if (name[i] == 'n') {
            out += '\n';
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string ChecksumLine(std::string_view hex, std::string_view relativePath) {
    if (relativePath.find_first_of("\\\n") == std::string_view::npos)
        return std::string(hex) + "  " + std::string(relativePath) + "\n";
    std::string line = "\\" + std::string(hex) + "  ";
    for (char c : relativePath) {
        if (c == '\\') {
            line += "\\\\";
        } else if (c == '\n') {
            line += "\\n";
        } else {
            line += c;
        }
    }
    return line + "\n";
}

bool ParseChecksumList(std::string_view text, std::vector<ChecksumEntry>& out, size_t& badLine) {
    out.clear();
    size_t lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (line.empty()) continue;
        const bool escaped = line.front() == '\\';
        if (escaped) line.remove_prefix(1);
        if (line.size() < 67 || !IsHexDigest(line.substr(0, 64)) || line[64] != ' ' ||
            (line[65] != ' ' && line[65] != '*')) {
            badLine = lineNumber;
            return false;
        }
        ChecksumEntry entry;
        entry.hex = std::string(line.substr(0, 64));
        for (char& c : entry.hex)
            if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
        if (escaped) {
            if (!UnescapeName(line.substr(66), entry.path)) {
                badLine = lineNumber;
                return false;
            }
        } else {
            entry.path = std::string(line.substr(66));
        }
        out.push_back(std::move(entry));
    }
    return true;
}
