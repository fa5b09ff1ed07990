#include "catalog/CatalogLocation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace catalog {

std::string UserDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return data;
    const char* home = std::getenv("HOME");
    std::string base = home && home[0] == '/' ? home : "";
    if (base.empty()) {
        if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_dir) base = entry->pw_dir;
    }
    return base.empty() ? std::string() : base + "/.local/share";
}

std::string CatalogPath(const std::string& configFolder, const std::string& appDataFolder) {
    if (!configFolder.empty() && configFolder != appDataFolder) {
        return configFolder + "/catalog.sqlite";
    }
    const std::string data = UserDataFolder();
    return data.empty() ? std::string() : data + "/Tessoly/Corvelin/catalog.sqlite";
}

}  // namespace catalog
