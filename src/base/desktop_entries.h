// The applications installed on the desktop, from their ".desktop" files
// (the freedesktop Desktop Entry format): what the rules editor offers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/data_folder.h"

namespace tvq {

struct DesktopApp {
    std::string id;    // the file's name without ".desktop"
    std::string name;  // Name= of the [Desktop Entry] group
    std::string icon;  // Icon=: a theme name or an absolute path
    bool operator==(const DesktopApp&) const = default;
};

// An application from one ".desktop" file; nothing for a file that is no
// application entry, is hidden from menus, or has no name.
std::optional<DesktopApp> parseDesktopEntry(std::string_view fileName, std::string_view text);

// The folders that hold ".desktop" files, the one that wins first:
// $XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS
// (/usr/local/share:/usr/share without it).
std::vector<std::string> applicationFolders(const Environment& env);

}  // namespace tvq
