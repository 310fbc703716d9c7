#include "platform/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <limits>
#include <random>
#include <string>

namespace tvq {
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    // Closes now and reports whether the close succeeded (it can report a
    // delayed write error).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Temporary files are "<path>.XXXXXX", as mkostemp makes them.
constexpr const char* kTemporarySuffix = ".XXXXXX";
constexpr std::size_t kTemporaryLetters = 6;

// Gives the unnamed file `fd` the name `temp` (its X's replaced by a free
// random name).
bool linkUnnamed(int fd, std::string& temp) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    const std::string source = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = temp.size() - kTemporaryLetters; i < temp.size(); ++i) {
            temp[i] = kLetters[random() % (sizeof kLetters - 1)];
        }
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

void syncFolder(const std::string& folder) {
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());  // best effort: some file systems refuse it
    }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> PosixFileSystem::readFile(const std::string& path) {
    return readFileStart(path, std::numeric_limits<std::uint64_t>::max());
}

std::optional<std::vector<std::uint8_t>> PosixFileSystem::readFileStart(const std::string& path,
                                                                        std::uint64_t maxBytes) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(st.st_size), maxBytes)));
    std::uint8_t chunk[65536];
    while (bytes.size() < maxBytes) {
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>(sizeof chunk, maxBytes - bytes.size()));
        const ssize_t n = ::read(fd.get(), chunk, want);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

namespace {

// The mode a program's new file gets: 0666 less the process's umask, read
// without changing it (umask(2) would, for a moment, for every thread).
mode_t newFileMode() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return 0666 & ~static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        }
    }
    return 0600;
}

}  // namespace

bool PosixFileSystem::replaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    struct stat old {};
    // Only a regular file is replaced: never a device, a pipe or a folder,
    // nor a link to one; and never with the mode of what was there.
    if (::stat(path.c_str(), &old) == 0 && !S_ISREG(old.st_mode)) {
        return false;
    }
    const mode_t mode = newFileMode();
    std::string temp = path + kTemporarySuffix;
    // Unnamed until it is complete: a kill while writing leaves nothing.
    Descriptor fd(::open(parentOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    const bool unnamed = fd.get() >= 0;
    if (!unnamed) {
        fd.reset(::mkostemp(temp.data(), O_CLOEXEC));
        if (fd.get() < 0) {
            return false;
        }
    }
    bool written =
        ::fchmod(fd.get(), mode) == 0 && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (written && unnamed) {
        written = linkUnnamed(fd.get(), temp);
    }
    written = fd.close() && written;
    if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(parentOf(path));
    return true;
}

bool PosixFileSystem::renameFile(const std::string& from, const std::string& to) {
    // link + unlink rather than rename: an existing `to` is never replaced.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    ::unlink(from.c_str());
    syncFolder(parentOf(to));
    return true;
}

bool PosixFileSystem::removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

int PosixFileSystem::removeLeftovers(const std::string& path) {
    const std::string folder = parentOf(path);
    const std::string prefix = path.substr(path.find_last_of('/') + 1) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() != prefix.size() + kTemporaryLetters || !name.starts_with(prefix)) {
            continue;
        }
        const std::string_view tail = name.substr(prefix.size());
        if (std::all_of(tail.begin(), tail.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }) &&
            ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

std::optional<std::uint64_t> PosixFileSystem::regularFileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

bool PosixFileSystem::exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool PosixFileSystem::isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::createDirectory(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0;
}

bool PosixFileSystem::createDirectories(const std::string& path) {
    if (isDirectory(path)) {
        return true;
    }
    const std::string parent = parentOf(path);
    if (parent != path && !isDirectory(parent) && !createDirectories(parent)) {
        return false;
    }
    return createDirectory(path) || isDirectory(path);
}

}  // namespace tvq
