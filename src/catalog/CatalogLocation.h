#pragma once

#include <string>

namespace catalog {

// Where the catalog lives: beside the profile when the profile lives beside
// the program (a portable installation carries its catalog along), otherwise
// in the per-user data folder ($XDG_DATA_HOME, else ~/.local/share) under
// Tessoly/Corvelin. configFolder is the profile's folder, appDataFolder the
// per-user configuration folder the profile would otherwise be in; empty when
// no folder can be known.
std::string CatalogPath(const std::string& configFolder, const std::string& appDataFolder);

// $XDG_DATA_HOME when absolute, else $HOME/.local/share; empty without either.
std::string UserDataFolder();

}  // namespace catalog
