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

// Longer names and icon names are cut (at a character's start).
inline constexpr std::size_t kMaxNameBytes = 200;
inline constexpr std::size_t kMaxIconBytes = 1024;

// An application from one ".desktop" file; nothing for a file that is no
// application entry, is hidden from menus, or has no name. The name and
// the icon lose control characters and are cut to their bounds.
std::optional<DesktopApp> parseDesktopEntry(std::string_view fileName, std::string_view text);

// `text` without control characters, cut to at most `maxBytes`.
std::string shownText(std::string_view text, std::size_t maxBytes);

// The folders that hold ".desktop" files, the one that wins first:
// $XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS
// (/usr/local/share:/usr/share without it).
std::vector<std::string> applicationFolders(const Environment& env);

}  // namespace tvq
