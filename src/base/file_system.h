// The file operations the stores need, behind an interface so that the
// store logic runs against a fake in tests (full disk, read-only folder).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tvq {

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The whole content of a regular file, or nothing when it cannot be opened
    // or read.
    virtual std::optional<std::vector<std::uint8_t>> readFile(const std::string& path) = 0;
    // At most the first `maxBytes` of a regular file; nothing when it cannot
    // be read.
    virtual std::optional<std::vector<std::uint8_t>> readFileStart(const std::string& path,
                                                                   std::uint64_t maxBytes) {
        auto bytes = readFile(path);
        if (bytes && bytes->size() > maxBytes) {
            bytes->resize(static_cast<std::size_t>(maxBytes));
        }
        return bytes;
    }

    // Replaces the file's content as one step: either the new content is in
    // place and durable, or the old file is left exactly as it was. False on
    // any failure.
    virtual bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes) = 0;

    // The size of a regular file; nothing for a folder, a device, a pipe or
    // a path that does not exist. Lets a caller refuse a file before reading.
    virtual std::optional<std::uint64_t> regularFileSize(const std::string& path) = 0;

    virtual bool exists(const std::string& path) = 0;
    virtual bool isDirectory(const std::string& path) = 0;

    // Creates one folder (not its parents). False when it could not be made.
    virtual bool createDirectory(const std::string& path) = 0;

    // Creates the folder and any missing parents. False on failure.
    virtual bool createDirectories(const std::string& path) = 0;

    // Removes a file; false when it could not be removed (a missing file
    // counts as removed).
    virtual bool removeFile(const std::string& path) = 0;

    // Renames a file; false (and nothing changed) when it cannot be done or
    // `to` exists.
    virtual bool renameFile(const std::string& from, const std::string& to) = 0;

    // Removes what an interrupted replaceFile of `path` may have left
    // beside it; returns how many files were removed.
    virtual int removeLeftovers(const std::string& path) = 0;
};

}  // namespace tvq
