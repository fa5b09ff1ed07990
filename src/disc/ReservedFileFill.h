#pragma once

#include <string>
#include <utility>
#include <vector>

// Puts the final contents into files of an image that xorriso wrote with
// stand-ins of the same length, at the blocks xorriso reports for them. This
// lets a pack's checksums be worked out while the image is written, rather
// than before: only the two small files of the reserved folder wait for them.
// files: path in the image without the leading "/", and its contents. false
// with error when a file is missing, differs in length, or cannot be written.
bool FillReservedFiles(const std::string& image,
                       const std::vector<std::pair<std::string, std::string>>& files,
                       std::string& error);
