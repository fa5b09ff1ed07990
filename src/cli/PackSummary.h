#pragma once

#include <cstdint>
#include <string>

class CCorvelinDoc;

// The table printed after a run: one row per pack (number, files, bytes used,
// size in MB, fill rate against the full medium size) and a total line.
std::string FormatPackSummary(const CCorvelinDoc& doc, uint64_t fullSize);
