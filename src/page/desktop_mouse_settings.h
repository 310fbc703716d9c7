// The desktop's own mouse settings program, by XDG_CURRENT_DESKTOP.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tvq {

// The commands that open the mouse settings of the desktop named by
// `currentDesktop` (XDG_CURRENT_DESKTOP, names separated by ':'), the most
// fitting first. For a desktop the program does not know: every command it
// knows. Each command is the program and its arguments.
std::vector<std::vector<std::string>> mouseSettingsCommands(std::string_view currentDesktop);

}  // namespace tvq
