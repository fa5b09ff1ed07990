#pragma once

#include <string>

#include "cli/CliOptions.h"
#include "support/FileSystem.h"

namespace catalog {
class Catalog;
}

// The catalog's file for this run: --catalog, else beside a profile kept
// beside the program, else the per-user data folder. Empty when none is known.
std::string CliCatalogPath(const CliOptions& options, zel::IFileSystem& fs);

// Opens it, telling the user on stderr when an unusable file was set aside;
// false with a message on stderr when it cannot be opened.
bool OpenCliCatalog(const CliOptions& options, zel::IFileSystem& fs, catalog::Catalog& catalog);

// The catalog commands of the command line, in the order add, remove, rename,
// export, list, find; returns the exit status.
int RunCatalogCommands(const CliOptions& options, zel::IFileSystem& fs);
