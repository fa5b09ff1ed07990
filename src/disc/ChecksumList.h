#pragma once

#include <string>
#include <string_view>
#include <vector>

// The checksum list of a medium, in the format "sha256sum -c" reads: one line
// "HEX  PATH" per file, the path relative to the medium's root as its bytes.
// A name with a backslash or a line break is written as sha256sum writes it:
// the line starts with "\" and the name has "\\" and "\n" in their place.
std::string ChecksumLine(std::string_view hex, std::string_view relativePath);

struct ChecksumEntry {
    std::string hex;
    std::string path;  // relative to the root, bytes
};

// Reads such a list ("*" before the name, binary mode, is taken too). false
// with the number of the first line that is not one.
[[nodiscard]] bool ParseChecksumList(std::string_view text, std::vector<ChecksumEntry>& out,
                                     size_t& badLine);
