// An in-memory file system for tests and fuzzers. Writes can be made to fail
// (a full disk, a read-only folder) to check that nothing is lost.
#pragma once

#include <map>
#include <set>
#include <string>

#include "base/file_system.h"

namespace tvq::testing {

class MemoryFileSystem final : public FileSystem {
  public:
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::set<std::string> folders{"/"};
    bool failWrites = false;              // every replaceFile fails
    std::set<std::string> failWritesTo;   // replaceFile of these paths fails
    bool failFolderCreation = false;      // every createDirectory fails
    std::set<std::string> unreadable;     // there, but reading them fails
    int writes = 0;                       // replaceFile calls that succeeded
    std::map<std::string, int> writesTo;  // the same, by path

    std::optional<std::vector<std::uint8_t>> readFile(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end() || unreadable.contains(path)) {
            return std::nullopt;
        }
        return it->second;
    }

    bool replaceFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
        if (failWrites || failWritesTo.contains(path) || !folders.contains(parentOf(path))) {
            return false;
        }
        files[path].assign(bytes.begin(), bytes.end());
        ++writes;
        ++writesTo[path];
        return true;
    }

    std::optional<std::uint64_t> regularFileSize(const std::string& path) override {
        const auto it = files.find(path);
        return it != files.end() ? std::optional<std::uint64_t>(it->second.size()) : std::nullopt;
    }
    bool exists(const std::string& path) override {
        return files.contains(path) || folders.contains(path);
    }

    bool isDirectory(const std::string& path) override { return folders.contains(path); }

    bool createDirectory(const std::string& path) override {
        if (failFolderCreation || exists(path) || !folders.contains(parentOf(path))) {
            return false;
        }
        folders.insert(path);
        return true;
    }

    bool createDirectories(const std::string& path) override {
        if (isDirectory(path)) {
            return true;
        }
        const std::string parent = parentOf(path);
        if (parent != path && !createDirectories(parent)) {
            return false;
        }
        return createDirectory(path);
    }

    bool removeFile(const std::string& path) override {
        if (failWrites) {
            return false;
        }
        files.erase(path);
        return true;
    }

    bool renameFile(const std::string& from, const std::string& to) override {
        const auto it = files.find(from);
        if (failWrites || it == files.end() || files.contains(to)) {
            return false;
        }
        files[to] = std::move(it->second);
        files.erase(from);
        return true;
    }

    // Names "<path>.XXXXXX", as a killed save leaves them.
    int removeLeftovers(const std::string& path) override {
        int removed = 0;
        for (auto it = files.begin(); it != files.end();) {
            const std::string& name = it->first;
            if (name.size() == path.size() + 7 && name.starts_with(path + ".") &&
                name.find_first_of("./", path.size() + 1) == std::string::npos) {
                it = files.erase(it);
                ++removed;
            } else {
                ++it;
            }
        }
        return removed;
    }

    static std::string parentOf(const std::string& path) {
        const std::size_t slash = path.find_last_of('/');
        return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
    }
};

}  // namespace tvq::testing
