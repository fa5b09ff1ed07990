#pragma once

#include <string>

// A path from the command line as a drop would give it: absolute, without "."
// parts, doubled or trailing "/" (except "/" itself); links are not resolved.
std::string AbsoluteDropPath(const std::string& path, const std::string& workingDir);
