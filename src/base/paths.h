// Files and folders of the program and its data, and the environment
// variables it reads.
#pragma once

namespace tvq::paths {

// Below the data folder.
inline constexpr const char* kStoreFolder = "ms_1";
inline constexpr const char* kProfileStoreFile = "pro.data";
inline constexpr const char* kMacroStoreFile = "macro.data";
// Left when the program ended before the mouse had the selected profile
// (an edit still settling, the mouse away or asleep, an apply cut short):
// the next start writes it whole at the first connection. Empty.
inline constexpr const char* kUnwrittenMarkerFile = "unwritten";
inline constexpr const char* kFallbackDataFolder = "Data";
// The program's own settings: "<config home>/tvq-config/settings.json".
inline constexpr const char* kSettingsFolder = "tvq-config";
inline constexpr const char* kSettingsFile = "settings.json";
// In the program folder.
inline constexpr const char* kHookLibrary = "Hook.so";
// The command-line option that starts the program in the tray, its window
// hidden (the autostart entry gives it).
inline constexpr const char* kStartHiddenOption = "--hidden";
// TVQ_DEBUG=1 turns the debug channel on.
inline constexpr const char* kDebugEnvironment = "TVQ_DEBUG";

}  // namespace tvq::paths
