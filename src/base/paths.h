// Files and folders of the program and its data, and the environment
// variables it reads.
#pragma once

namespace tvq::paths {

// Below the data folder.
inline constexpr const char* kStoreFolder = "ms_1";
inline constexpr const char* kProfileStoreFile = "pro.data";
inline constexpr const char* kMacroStoreFile = "macro.data";
inline constexpr const char* kFallbackDataFolder = "Data";
// In the program folder.
inline constexpr const char* kHookLibrary = "Hook.so";
// The command-line option that starts the program in the tray, its window
// hidden (the autostart entry gives it).
inline constexpr const char* kStartHiddenOption = "--hidden";
// TVQ_DEBUG=1 turns the debug channel on.
inline constexpr const char* kDebugEnvironment = "TVQ_DEBUG";

}  // namespace tvq::paths
