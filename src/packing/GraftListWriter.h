#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "packing/DiscPaths.h"
#include "packing/PackRecords.h"

namespace zel {
class IFileSystem;
}

// "\" and "=" escaped by a backslash, as graft points and path lists take them.
std::string EscapeGraftPath(std::string_view bytes);

// One list per pack for "xorrisofs -graft-points -path-list": a line
// "PATH_ON_DISC=PATH_ON_DISK" per file, LF-terminated, both halves as the file
// system's bytes and escaped. Packs are numbered from 1 with at least two
// digits, more when the pack count needs them: pack01.lst, PACK_01.
// A file that is a symbolic link was planned with its target's size, so its
// disk half names the target: an image maker given the link itself would
// store a link (and none at all in a Joliet tree), not the content, unless it
// was told to follow links; the target needs no such option.
class CGraftListWriter {
public:
    CGraftListWriter(const CPackFolder& root, const std::vector<PackBin>& packs);

    static std::string ListName(size_t pack, size_t count);     // pack is 1-based
    static std::string VolumeLabel(size_t pack, size_t count);  // PACK_01
    // The command that builds the pack's image "packNN.iso" in folder from its
    // list there; the folder is quoted for a POSIX shell.
    static std::string ImageCommand(const std::string& folder, size_t pack, size_t count);

    // The list of one pack; false, with the offending paths added to refused,
    // when a path holds a line break, which no list line can carry. fs tells
    // links from files.
    bool BuildList(size_t pack, std::string& out, std::vector<std::string>& refused,
                   zel::IFileSystem& fs) const;

    // Checks every pack first and writes nothing when a path is refused; then
    // writes each list atomically into folder (created when missing). false with
    // a message for the user on any failure; lists already written stay.
    [[nodiscard]] bool Write(const std::string& folder, std::string& message,
                             zel::IFileSystem& fs) const;

private:
    const std::vector<PackBin>& packs_;
    CDiscPaths discPaths_;
};
