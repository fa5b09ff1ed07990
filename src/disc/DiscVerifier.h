#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "disc/DiscProgress.h"

// Reads back every file a medium's checksum list names and compares it: on a
// mounted disc's folder through the file system, on an image file or a drive
// through the image's layout as xorriso reports it.
struct VerifyResult {
    enum class Outcome { Ok, Differs, NotChecked, Cancelled };
    Outcome outcome = Outcome::NotChecked;
    std::vector<std::string> missing;  // paths from the root, bytes
    std::vector<std::string> changed;
    std::vector<std::string> unreadable;
    size_t checked = 0;
    uint64_t bytes = 0;
    std::u16string error;  // why nothing could be checked
};

// The reserved folder at the root of every written medium, and its files.
constexpr const char* kReservedFolder = "_CORVELIN";
constexpr const char* kChecksumFile = "_CORVELIN/SHA256SUMS";
constexpr const char* kIndexFile = "_CORVELIN/INDEX.TSV";

VerifyResult VerifyMedium(const std::string& path, const std::atomic<bool>* cancel,
                          const DiscProgressSink& progress, DiscProgress base = {});

// A short account for the window and the terminal, one path a line.
std::u16string DescribeVerifyResult(const VerifyResult& result);
