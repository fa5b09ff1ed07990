#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Why the scan left an entry out. Entries refused by the filters, and whatever
// a cancel leaves unread, are not skipped entries.
enum class SkipReason : uint8_t {
    UnreadableFolder,   // the folder could not be listed
    StatFailed,         // the entry's type and size could not be read
    DanglingLink,       // a symbolic link whose target does not exist
    LinkLoop,           // a link back to a folder that encloses it
    SpecialFile,        // FIFO, socket or device
    ControlCharacter,   // TAB, CR or LF in the name would break the export's lines
    PathTooLong,        // more than 259 UTF-16 units
    MissingPath,        // a dropped path that is no longer there
    AlreadyEntered,     // a folder this scan entered before, reached again through a link
    InsideDroppedPath,  // a dropped path that another dropped path holds, or a repeat of one
};

struct SkippedEntry {
    std::string path;  // raw bytes, as the file system names it
    SkipReason reason;
    int error;  // errno of the failed call, 0 when nothing failed
};

using SkippedEntryList = std::vector<SkippedEntry>;

// A short Japanese text for the user, without the path.
std::u16string DescribeSkipReason(SkipReason reason);
