#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A set of packs on its way to discs, image files or folders, as the set file
// keeps it and as the index on every written medium carries it. The writer
// fills it from a run; the catalog records it; both read it back from a set
// file or from the index of one medium, so it holds nothing that only this
// machine knows.
//
// Paths are the core's UTF-16 texts (bytes that are not UTF-8 kept as
// U+DC80..U+DCFF), so a name reaches the disc and the catalog as its bytes.

enum class DiscPackState : uint32_t {
    Planned,   // nothing written yet
    Written,   // every file on the medium, not read back
    Verified,  // read back and matched its checksums
    Failed,    // stopped, cancelled, or read back wrong: see reason
};

struct DiscSetFile {
    uint32_t pack = 0;        // 1-based pack number
    std::u16string discPath;  // "/A/b.jpg": the path on the medium, from its root
    std::u16string diskPath;  // the absolute path the file was planned from
    uint64_t size = 0;        // bytes, as planned
    int64_t mtimeNs = 0;      // modification time, nanoseconds since 1970 UTC
    std::string sha256;       // 64 lower-case hex digits; empty until computed
};

struct DiscSetPack {
    uint32_t number = 0;   // 1-based
    std::u16string label;  // the volume label, "PACK_01"
    DiscPackState state = DiscPackState::Planned;
    int64_t writtenAt = 0;   // seconds since 1970 UTC; 0 = never
    int64_t verifiedAt = 0;  // seconds since 1970 UTC; 0 = never
    std::u16string reason;   // why the pack failed or stopped; empty otherwise
};

struct DiscSet {
    std::string id;                  // 32 lower-case hex digits, random, fixed at creation
    std::u16string name;             // the user's name for the set
    int64_t createdAt = 0;           // seconds since 1970 UTC
    uint64_t packSize = 0;           // the working pack size of the run, bytes
    std::u16string medium;           // the registered size's name ("DVD(4.7GB)") or the size text
    uint64_t capacity = 0;           // what one medium holds, bytes
    std::u16string target;           // "image", "disc" or "folder"
    std::vector<DiscSetPack> packs;  // in pack order, numbers 1..n
    std::vector<DiscSetFile> files;  // in pack order, then in the pack's path order
};
