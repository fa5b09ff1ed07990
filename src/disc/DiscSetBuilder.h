#pragma once

#include <string>
#include <vector>

#include "disc/DiscSet.h"
#include "packing/PackRecords.h"

class CPackFolder;

// The size and modification time a source file has now; 0 or an errno.
int StatSource(const std::string& path, uint64_t& size, int64_t& mtimeNs);

// What the set is made from besides the packs.
struct DiscSetHeader {
    std::u16string name;
    std::u16string medium;
    uint64_t packSize = 0;
    uint64_t capacity = 0;
    std::u16string target;  // "image" or "disc"
    int64_t now = 0;        // seconds since 1970 UTC
};

// A new set of the packs of a run, every pack planned: each file at the path
// the graft lists give it, with the size it was planned with and the
// modification time it has now, so that a later change shows.
DiscSet BuildDiscSet(const CPackFolder& root, const std::vector<PackBin>& packs,
                     const DiscSetHeader& header);

// The default name of a set: the first dropped item's name and the date.
std::u16string DefaultSetName(const CPackFolder& root, int64_t now);
