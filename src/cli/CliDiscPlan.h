#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "intake/ImportSettings.h"
#include "model/PackItem.h"

class CCorvelinDoc;
struct CliOptions;
namespace zel {
class IFileSystem;
}

// Reads the inventory of --from-list (a file, or standard input for "-") into
// the document as a scan would, relative paths below workingDir (empty: the
// folder is gone and they are refused); malformed and repeated records are
// listed on standard error by number. result gets the new top-level items
// (for automatic grouping). false with a message when the list cannot be read
// at all, or when stop was set (an interrupt) before the reading ended.
bool ReadInventoryInto(const CliOptions& options, const CImportSettingsPtr& settings,
                       const std::string& workingDir, CCorvelinDoc& doc, CPackFolderPtr& result,
                       std::string& message, const std::atomic<bool>& stop);

// Writes the graft lists of --graft-lists and, with --print-commands, prints
// the command that builds each pack's image to out. false with a message.
bool WriteDiscPlan(const CliOptions& options, const CCorvelinDoc& doc, zel::IFileSystem& fs,
                   std::FILE* out, std::string& message);

// One line per pack whose image would not fit the medium of capacity bytes,
// written to out as they come.
void WriteImageFitWarnings(std::FILE* out, const std::vector<uint64_t>& images, uint64_t capacity);
