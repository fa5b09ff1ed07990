#pragma once

#include <string>
#include <vector>

#include "disc/DiscSet.h"

// What the file system of a target folder cannot hold, found before a pack is
// copied there: a pack that would come out with a file cut short, a name
// changed or two files merged into one is refused as a whole.
enum class TargetFileSystem {
    Other,  // holds any name and size a Linux file system does
    Fat,    // vfat, msdos: files under 4 GiB, Windows' names, case ignored
    ExFat,  // Windows' names, case ignored
    Ntfs,   // names in UTF-16, so only names that are UTF-8
};

TargetFileSystem TargetFileSystemOf(const std::string& folder);

// One line per file the file system refuses, saying why, in the files' order.
std::vector<std::u16string> FindUnfitFiles(TargetFileSystem fs,
                                           const std::vector<const DiscSetFile*>& files);
