#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

// Attribute bits as the filters and the presets file know them.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;

// The attribute bits of a file for the filters, from its name and permission
// bits: archive always (nothing here clears it), read-only when its owner may
// not write it, hidden when its name starts with a dot.
inline uint32_t FileAttributes(std::u16string_view name, uint32_t mode) {
    uint32_t attributes = kAttrArchive;
    if ((mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    if (!name.empty() && name.front() == u'.') attributes |= kAttrHidden;
    return attributes;
}

// One directory entry as the import filters see it.
struct FindData {
    std::u16string fileName;  // the entry's own name, no folder part
    uint32_t attributes = 0;  // kAttr* bits
    uint64_t size = 0;
    bool IsDirectory() const { return (attributes & kAttrDirectory) != 0; }
};
