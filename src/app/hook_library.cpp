#include "app/hook_library.h"

#include <cerrno>

#include "base/debug.h"
#include "base/paths.h"

namespace tvq {
namespace {

template <class Fn>
void bind(const LoadedLibrary& library, const char* name, Fn*& out) {
    out = reinterpret_cast<Fn*>(library.symbol(name));
}

}  // namespace

void HookLibrary::load(LibraryLoader& loader, const std::string& programFolder) {
    unload();
    library_ = loader.load(programFolder + paths::kHookLibrary);
    if (!library_) {
        debug::write("GetError:" + std::to_string(errno) + "\n");
        return;
    }
    bind(*library_, "installmousehook", functions_.installmousehook);
    bind(*library_, "removemousehook", functions_.removemousehook);
    bind(*library_, "enablemousehook", functions_.enablemousehook);
    bind(*library_, "installhook", functions_.installhook);
    bind(*library_, "removehook", functions_.removehook);
    bind(*library_, "enablehook", functions_.enablehook);
    bind(*library_, "mousewheelenable", functions_.mousewheelenable);
}

void HookLibrary::unload() {
    if (functions_.removemousehook != nullptr) {
        functions_.removemousehook();
    }
    if (functions_.removehook != nullptr) {
        functions_.removehook();
    }
    functions_ = {};
    library_.reset();
}

}  // namespace tvq
