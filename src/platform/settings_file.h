// The file of the program's own settings (JSON), written like the stores:
// complete or not at all. A file that cannot be read as settings is moved
// aside, never written over; what the file holds that this version does not
// know is kept when it is written again.
#pragma once

#include <string>

#include "base/file_system.h"
#include "program/program_settings.h"

namespace tvq {

class SettingsFile {
  public:
    enum class Loaded {
        kNoFile,      // none yet: the defaults
        kRead,        // read; a value out of range took its default
        kKeptAside,   // damaged, moved to keptAs(); the defaults
        kUnreadable,  // there, but not a file that can be read; the defaults
    };

    // `path` empty: there is no place for the file; the settings live in
    // memory only and every save fails.
    SettingsFile(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}

    Loaded load();
    const ProgramSettings& settings() const { return settings_; }
    // Writes `settings`, creating the folder; the settings in memory are the
    // new ones only when the file was written. Refused while a file is there
    // that could not be read (it is never written over), and for settings
    // that would make a file the reader refuses.
    bool save(const ProgramSettings& settings);

    const std::string& path() const { return path_; }
    const std::string& keptAs() const { return keptAs_; }

    // Larger files are not settings, nor are documents nested deeper.
    static constexpr std::uint64_t kMaxBytes = 1 << 20;
    static constexpr std::size_t kMaxDepth = 32;

  private:
    FileSystem& fs_;
    std::string path_;
    ProgramSettings settings_;
    std::string document_;  // the JSON last read or written, with keys of other versions
    std::string keptAs_;
    bool unreadable_ = false;  // a file is there that load() could not read
};

}  // namespace tvq
