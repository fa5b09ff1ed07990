#pragma once

#include <cstdint>
#include <string_view>

// What the scan asks about every accepted file when the user plans only what
// is not archived yet. The catalog answers it; the scan only acts on it.
enum class ArchiveVerdict : uint8_t {
    New,       // not catalogued at this path: taken
    Archived,  // catalogued with this size and time: left out
    Changed,   // catalogued at this path with another size or time: taken, marked
};

class IArchiveCheck {
public:
    virtual ~IArchiveCheck() = default;
    // Once on the scan's thread before the first Check: the place for loading
    // what Check needs, which can take a while.
    virtual void Prepare() {}
    // path: the file's absolute raw-byte path. Called on the scan's thread.
    virtual ArchiveVerdict Check(std::string_view path, uint64_t size, int64_t mtimeNs) = 0;
};
