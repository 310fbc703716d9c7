#include "platform/shared_library.h"

#include <dlfcn.h>

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

std::unique_ptr<LoadedLibrary> SharedLibraryLoader::load(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = ::dlerror();
        debug::write("cannot load " + path + ": " + (error != nullptr ? error : "?") + "\n");
        return nullptr;
    }
    return std::make_unique<SharedLibrary>(handle);
}

}  // namespace tvq
