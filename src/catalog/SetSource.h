#pragma once

#include <string>

#include "disc/DiscSet.h"
#include "support/FileSystem.h"

namespace catalog {

// Reads a set to record: a set file, a medium's index, a folder (a mounted
// disc or image, a written folder) holding the index in its reserved folder
// _CORVELIN, or an image file (.iso, .img) or a drive holding that folder. false with a message
// (UTF-8) naming the file.
bool ReadSetSource(zel::IFileSystem& fs, const std::string& path, DiscSet& set,
                   std::string& message);

}  // namespace catalog
