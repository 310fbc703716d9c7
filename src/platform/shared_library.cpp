#include "platform/shared_library.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "base/debug.h"

namespace tvq {
namespace {

class SharedLibrary final : public LoadedLibrary {
  public:
    explicit SharedLibrary(void* handle) : handle_(handle) {}
    ~SharedLibrary() override { ::dlclose(handle_); }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    void* symbol(const char* name) const override { return ::dlsym(handle_, name); }

  private:
    void* handle_;
};

}  // namespace

std::string unusableLibraryReason(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return "cannot be opened";
    }
    struct stat st {};
    Elf64_Ehdr header{};
    const bool read = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                      ::pread(fd, &header, sizeof header, 0) == ssize_t{sizeof header};
    std::string why;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    const auto within = [size](std::uint64_t offset, std::uint64_t length) {
        return offset <= size && length <= size - offset;
    };
    if (!read || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_phentsize != sizeof(Elf64_Phdr)) {
        why = "is not a 64-bit ELF library";
    } else if (!within(header.e_phoff, std::uint64_t{header.e_phnum} * sizeof(Elf64_Phdr)) ||
               (header.e_shoff != 0 &&
                !within(header.e_shoff, std::uint64_t{header.e_shnum} * header.e_shentsize))) {
        why = "is cut short: its headers lie past its end";
    } else {
        // Every loaded segment must be in the file; mapping past its end
        // would crash the loader.
        for (std::uint16_t i = 0; i < header.e_phnum && why.empty(); ++i) {
            Elf64_Phdr segment{};
            if (::pread(fd, &segment, sizeof segment,
                        static_cast<off_t>(header.e_phoff + i * sizeof segment)) !=
                    ssize_t{sizeof segment} ||
                (segment.p_type == PT_LOAD && !within(segment.p_offset, segment.p_filesz))) {
                why = "is cut short: a segment lies past its end";
            }
        }
    }
    ::close(fd);
    return why;
}

std::unique_ptr<LoadedLibrary> SharedLibraryLoader::load(const std::string& path) {
    if (const std::string why = unusableLibraryReason(path); !why.empty()) {
        debug::write("cannot load " + path + ": it " + why + "\n");
        lastFailure_ = path + " " + why;
        return nullptr;
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = ::dlerror();
        debug::write("cannot load " + path + ": " + (error != nullptr ? error : "?") + "\n");
        lastFailure_ = path + ": " + (error != nullptr ? error : "cannot be loaded");
        return nullptr;
    }
    return std::make_unique<SharedLibrary>(handle);
}

}  // namespace tvq
