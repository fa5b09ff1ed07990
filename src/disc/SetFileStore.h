#pragma once

#include <string>

#include "disc/DiscSet.h"

namespace zel {
class IFileSystem;
}

// Where set files live: $XDG_DATA_HOME/Tessoly/Corvelin/sets (XDG_DATA_HOME
// defaults to ~/.local/share), one "<id>.cvset" per set.
std::string SetsFolder();
std::string SetFilePath(const DiscSet& set);

// 32 random lower-case hex digits.
std::string NewSetId();

// Writes the set file so that a failed write leaves the previous one; the
// folders are made when missing. false with a message for the user.
[[nodiscard]] bool SaveSetFile(zel::IFileSystem& fs, const std::string& path, const DiscSet& set,
                               std::u16string& message);
[[nodiscard]] bool LoadSetFile(zel::IFileSystem& fs, const std::string& path, DiscSet& set,
                               std::u16string& message);
