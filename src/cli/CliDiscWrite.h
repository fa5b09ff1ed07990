#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliOptions.h"

class CCorvelinDoc;

// Exit statuses of --verify beyond 0 and 1: 8 plus 1 when files are missing,
// 2 when files differ and 4 when files cannot be read (9 to 15).
constexpr int kCliVerifyDiffers = 8;

// True when the command line writes or verifies media.
bool WantsDiscWork(const CliOptions& options);

// --verify PATH: reads back a mounted disc's folder, a drive or an image file.
int RunVerify(const CliOptions& options, const std::atomic<bool>& cancel);

// --set FILE with --write-images or --write-disc: goes on with a set.
int ResumeSet(const CliOptions& options, const std::atomic<bool>& cancel);

// --write-images or --write-disc after a run: a new set of the doc's packs,
// saved under the sets folder and written.
int WriteNewSet(const CliOptions& options, const CCorvelinDoc& doc, uint64_t packSize,
                const std::string& medium, uint64_t capacity, const std::atomic<bool>& cancel);

// --record-set NAME with -o or --graft-lists: the doc's packs recorded in the
// catalog as a set whose packs are all planned.
int RecordPlannedSet(const CliOptions& options, const CCorvelinDoc& doc, uint64_t packSize,
                     const std::string& medium, uint64_t capacity);
