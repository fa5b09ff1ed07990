#include "support/ZelConfiguration.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

bool IsRegularFile(zel::IFileSystem& fs, const std::string& path) {
    zel::FileStat st;
    return fs.Stat(path, st) == 0 && st.kind == zel::FileKind::Regular;
}

}  // namespace

std::string ZelConfiguration::GetProgramFolder() const {
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return {};
    std::string exe(buffer.data(), static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string ZelConfiguration::GetAppDataFolder() const {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return Join(home, ".config");
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') {
        return Join(pw->pw_dir, ".config");
    }
    return {};
}

std::string ZelConfiguration::GetUserName() const {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && pw->pw_name[0]) {
        return pw->pw_name;
    }
    for (const char* var : {"USER", "LOGNAME"}) {
        const char* value = std::getenv(var);
        if (value && value[0]) return value;
    }
    return {};
}

std::string ZelConfiguration::GetLocationFolder(int location) const {
    switch (location) {
        case AppData: {
            const std::string base = GetAppDataFolder();
            if (base.empty()) return {};
            return Join(Join(base, GetCompanyName()), GetApplicationName());
        }
        case ProgramFolderUser: {
            std::string program = GetProgramFolder();
            if (program.empty()) return {};
            const std::string user = GetUserName();
            // A name that could climb out of the program folder is not used.
            if (user.empty() || user == "." || user == ".." ||
                user.find('/') != std::string::npos) {
                return program;
            }
            return Join(program, user);
        }
        case ProgramFolder:
            return GetProgramFolder();
        default:
            return {};
    }
}

bool ZelConfiguration::FindProfile() {
    const std::string iniName = GetApplicationName() + ".ini";
    for (int location : {ProgramFolder, ProgramFolderUser, AppData}) {
        const std::string folder = GetLocationFolder(location);
        if (folder.empty()) continue;
        if (IsRegularFile(fs_, Join(folder, iniName))) {
            configFolder_ = folder;
            profileFound_ = true;
            return true;
        }
    }
    return false;
}

bool ZelConfiguration::CreateLocation(int location, int* error) {
    auto makeFolder = [&](const std::string& path) {
        const int rc = fs_.MakeFolder(path, 0700);
        if (rc == 0 || rc == EEXIST) {
            zel::FileStat st;
            if (fs_.Stat(path, st) == 0 && st.kind == zel::FileKind::Directory) return true;
            if (error) *error = ENOTDIR;
            return false;
        }
        if (error) *error = rc;
        return false;
    };
    switch (location) {
        case AppData: {
            const std::string base = GetAppDataFolder();
            if (base.empty()) {
                if (error) *error = ENOENT;
                return false;
            }
            // Missing parents such as ~/.config are created too.
            std::vector<std::string> levels;
            for (size_t slash = base.find('/', 1); slash != std::string::npos;
                 slash = base.find('/', slash + 1)) {
                levels.push_back(base.substr(0, slash));
            }
            levels.push_back(base);
            levels.push_back(Join(base, GetCompanyName()));
            levels.push_back(Join(levels.back(), GetApplicationName()));
            for (const std::string& level : levels) {
                if (!makeFolder(level)) return false;
            }
            configFolder_ = levels.back();
            return true;
        }
        case ProgramFolderUser:
        case ProgramFolder: {
            const std::string folder = GetLocationFolder(location);
            if (folder.empty()) {
                if (error) *error = ENOENT;
                return false;
            }
            if (!makeFolder(folder)) return false;
            configFolder_ = folder;
            return true;
        }
        default:
            return true;
    }
}

std::string ZelConfiguration::GetProfilePath() const {
    if (configFolder_.empty()) return {};
    return Join(configFolder_, GetApplicationName() + ".ini");
}
