#pragma once

#include <cstdint>
#include <string>

// Attribute bits as the filters and the presets file know them.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;

// One directory entry as the import filters see it.
struct FindData {
    std::u16string fileName;  // the entry's own name, no folder part
    uint32_t attributes = 0;  // kAttr* bits
    uint64_t size = 0;
    bool IsDirectory() const { return (attributes & kAttrDirectory) != 0; }
};
