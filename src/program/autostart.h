// Starting with the desktop: the autostart entry the desktop reads at login,
// "$XDG_CONFIG_HOME/autostart/<app id>.desktop" (under ~/.config when the
// variable is not set).
#pragma once

#include <string>

#include "base/data_folder.h"
#include "base/file_system.h"

namespace tvq {

inline constexpr const char* kAppId = "io.github.tvq_config.TvqConfig";

// Empty when neither XDG_CONFIG_HOME nor HOME gives a folder.
std::string autostartPath(const Environment& env);

// The entry that starts `program` (an absolute path) at login, hidden in
// the tray or with its window.
std::string autostartEntry(const std::string& program, bool hidden = true);

bool autostartEnabled(FileSystem& fs, const Environment& env);
// Whether the entry starts the program hidden in the tray; true without one.
bool autostartHidden(FileSystem& fs, const Environment& env);

// Writes or removes the entry; false when that could not be done.
bool setAutostart(FileSystem& fs, const Environment& env, bool on, const std::string& program,
                  bool hidden = true);

}  // namespace tvq
