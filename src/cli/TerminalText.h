#pragma once

#include <string>
#include <string_view>

// A file name (raw bytes) made safe to print: control characters (C0, DEL, C1),
// bytes that are not UTF-8 and the backslash itself are shown as \xNN (\\ for
// the backslash), so that no name can move the cursor or change the terminal.
std::string EscapeForTerminal(std::string_view bytes);
