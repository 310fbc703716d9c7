// Where the program's files are: the data folder that holds the stores.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/file_system.h"

namespace tvq {

// Reads an environment variable; nothing when it is not set.
using Environment = std::function<std::optional<std::string>(std::string_view)>;

// The process environment.
Environment processEnvironment();

// The data folder, ending in '/': "$XDG_DATA_HOME/TERVANA TVQ-R270 WIRELESS
// MOUSE/" (XDG_DATA_HOME defaults to ~/.local/share). When neither variable
// gives an absolute folder, "<program folder>Data/". The folder is created on
// demand; a failure to create it does not change the returned text. When it
// already exists the debug line "mousehid exit" is written.
std::string dataFolder(FileSystem& fs, const Environment& env, const std::string& programFolder);

// The same text, without looking at or creating anything.
std::string dataFolderPath(const Environment& env, const std::string& programFolder);

// "<data folder>ms_1" and the two store files in it.
std::string storeFolder(const std::string& dataFolder);
std::string profileStorePath(const std::string& dataFolder);
std::string macroStorePath(const std::string& dataFolder);

// The file of the program's own settings: "$XDG_CONFIG_HOME/tvq-config/
// settings.json" (XDG_CONFIG_HOME defaults to ~/.config); empty when neither
// variable gives an absolute folder.
std::string settingsFilePath(const Environment& env);

// Where the stores live: resolves the data folder each time it is asked
// (creating it on demand) and lends the file system to the stores.
class DataLocation {
  public:
    DataLocation(FileSystem& fs, Environment env, std::string programFolder)
        : fs_(fs), env_(std::move(env)), programFolder_(std::move(programFolder)) {}

    std::string folder() const { return dataFolder(fs_, env_, programFolder_); }
    FileSystem& fileSystem() const { return fs_; }
    const Environment& environment() const { return env_; }

  private:
    FileSystem& fs_;
    Environment env_;
    std::string programFolder_;
};

// Moves a store that did not load cleanly aside, to
// "<path>.damaged-<YYYYMMDD-HHMMSS>" (with "-2", "-3"... when that exists),
// so that it is never written over. The new path, or empty when it could not
// be moved.
std::string keepDamagedStore(FileSystem& fs, const std::string& path);

// Makes sure the store folder exists before a store is written. Failures are
// left for the write to meet.
void ensureStoreFolder(FileSystem& fs, const std::string& dataFolder);

}  // namespace tvq
