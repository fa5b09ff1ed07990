#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

class CCorvelinDoc;

// The table printed after a run: one row per pack (number, files, bytes used,
// size in MB, fill rate against the full medium size, and the estimated image
// size in MB when images has one per pack) and a total line. Written to out in
// pieces: a run of a hundred thousand packs would otherwise hold megabytes of
// text at its end.
void WritePackSummary(std::FILE* out, const CCorvelinDoc& doc, uint64_t fullSize,
                      const std::vector<uint64_t>& images = {});
