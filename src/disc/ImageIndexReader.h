#pragma once

#include <string>

namespace zel {
class IFileSystem;
}

// Copies the set's index out of an image file or a drive's medium, through
// xorriso, into text. false with error (UTF-8) saying why: not an image, no
// index on it, or xorriso missing.
bool ReadImageIndex(zel::IFileSystem& fs, const std::string& image, size_t maxBytes,
                    std::string& text, std::string& error);

// True when path names an image file by its extension (.iso, .img) rather
// than an index or a set file.
bool LooksLikeImageName(const std::string& path);
