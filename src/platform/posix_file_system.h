// The file system of a POSIX system.
#pragma once

#include "base/file_system.h"

namespace tvq {

class PosixFileSystem final : public FileSystem {
  public:
    std::optional<std::vector<std::uint8_t>> readFile(const std::string& path) override;
    std::optional<std::vector<std::uint8_t>> readFileStart(const std::string& path,
                                                           std::uint64_t maxBytes) override;

    // Writes an unnamed file in the same folder (O_TMPFILE, where the file
    // system has it), flushes it to the disk, names it "<path>.XXXXXX" and
    // renames it over `path`, then syncs the folder. A process killed while
    // writing leaves nothing behind; a failure at any step removes the
    // temporary file and leaves `path` untouched.
    bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override;

    std::optional<std::uint64_t> regularFileSize(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    bool createDirectories(const std::string& path) override;
    bool renameFile(const std::string& from, const std::string& to) override;
    bool removeFile(const std::string& path) override;
    // Files named "<path>.XXXXXX" (six letters or digits).
    int removeLeftovers(const std::string& path) override;
};

}  // namespace tvq
