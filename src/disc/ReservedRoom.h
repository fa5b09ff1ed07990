#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "packing/PackRecords.h"

class CPackFolder;

// What writing adds to a pack's image beyond the pack's own files, so that a
// pack planned to fit still fits when written: the reserved folder with its
// checksum list and the set's index, and xorriso's MD5 records when they are
// on. Everything here errs on the large side.

// The folder with two files of these sizes: the files in whole blocks, plus
// the folder's own records, its path-table entries and the growth of the
// root's records in both trees.
uint64_t ReservedFolderBytes(uint64_t checksumListBytes, uint64_t indexBytes);

// xorriso's MD5 recording: an MD5 per file, its reference in each file's Rock
// Ridge fields, and the checksum tags of the session.
uint64_t Md5RecordBytes(uint64_t fileCount);

// The most one file's line can take in the checksum list and in the index.
uint64_t ChecksumLineBound(std::string_view discPath);
uint64_t IndexLineBound(std::string_view discPath, std::string_view diskPath);

// For a plan, before any set exists: per pack, what writing will add.
std::vector<uint64_t> PlannedReservedRoom(const CPackFolder& root,
                                          const std::vector<PackBin>& packs, bool md5);
