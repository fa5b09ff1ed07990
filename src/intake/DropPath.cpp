#include "intake/DropPath.h"

#include <string_view>

std::string AbsoluteDropPath(const std::string& path, const std::string& workingDir) {
    const std::string full = (!path.empty() && path[0] == '/') ? path : workingDir + "/" + path;
    std::string out;
    size_t start = 0;
    while (start <= full.size()) {
        size_t slash = full.find('/', start);
        if (slash == std::string::npos) slash = full.size();
        const std::string_view part(full.data() + start, slash - start);
        if (!part.empty() && part != ".") {
            out += '/';
            out += part;
        }
        start = slash + 1;
    }
    return out.empty() ? "/" : out;
}
