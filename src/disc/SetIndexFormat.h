#pragma once

#include <string>
#include <string_view>

#include "disc/DiscSet.h"

// The one text form of a DiscSet: the set file on this machine and the index in
// every written medium's reserved folder. Lines of TAB-separated fields, UTF-8
// with names that are not UTF-8 kept as their bytes, LF line ends; in every text
// field "\" is written "\\", TAB "\t", LF "\n" and CR "\r", so any name survives.
//
//   CORVELIN-INDEX 1            (the set file: CORVELIN-SET 1)
//   SET   id name createdAt packSize medium capacity target packCount
//   PACK  number label state writtenAt verifiedAt reason          (one per pack)
//   FILE  pack discPath diskPath size mtimeNs sha256               (one per file)

// The text of the set; asSetFile chooses the first line.
std::string WriteSetIndex(const DiscSet& set, bool asSetFile);

// Reads either form. Unknown line kinds and fields beyond the known ones are
// skipped, so a later minor version still reads; a higher major version, a
// broken line or a set that contradicts itself is refused with a message that
// names the line, and out is left as it was.
[[nodiscard]] bool ReadSetIndex(std::string_view text, DiscSet& out, std::u16string& error);

// Appends bytes as one field of that form: "\\", TAB, LF and CR escaped.
void AppendIndexField(std::string_view bytes, std::string& out);

// "planned", "written", "verified", "failed".
const char* DiscPackStateName(DiscPackState state);
