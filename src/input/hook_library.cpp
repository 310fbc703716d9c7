#include "input/hook_library.h"

#include <cerrno>

#include "base/debug.h"
#include "base/paths.h"

namespace tvq {
namespace {

template <class Fn, class... Args>
void call(Fn* entry, Args... args) {
    if (entry != nullptr) {
        entry(args...);
    }
}

}  // namespace

void HookLibrary::load(LibraryLoader& loader, const std::string& programFolder) {
    unload();
    library_ = loader.load(programFolder + paths::kHookLibrary);
    if (!library_) {
        debug::write("the input-hook library could not be loaded (errno " + std::to_string(errno) +
                     ")\n");
        return;
    }
    library_->bind("installmousehook", entries_.installmousehook);
    library_->bind("removemousehook", entries_.removemousehook);
    library_->bind("enablemousehook", entries_.enablemousehook);
    library_->bind("installhook", entries_.installhook);
    library_->bind("removehook", entries_.removehook);
    library_->bind("enablehook", entries_.enablehook);
    library_->bind("mousewheelenable", entries_.mousewheelenable);
}

void HookLibrary::unload() {
    call(entries_.removemousehook);
    call(entries_.removehook);
    entries_ = {};
    library_.reset();
}

bool HookLibrary::complete() const {
    const Entries& e = entries_;
    return e.installmousehook && e.removemousehook && e.enablemousehook && e.installhook &&
           e.removehook && e.enablehook && e.mousewheelenable;
}

void HookLibrary::install(MessageWindow* target) {
    call(entries_.installhook, target);
}
void HookLibrary::remove() {
    call(entries_.removehook);
}
void HookLibrary::enableKeys(bool on) {
    call(entries_.enablehook, on ? 1 : 0);
}
void HookLibrary::enableMouse(bool on) {
    call(entries_.enablemousehook, on ? 1 : 0);
}
void HookLibrary::removeMouse() {
    call(entries_.removemousehook);
}
void HookLibrary::enableWheel(bool on) {
    call(entries_.mousewheelenable, on ? 1 : 0);
}

HookCapture::HookCapture(InputHook& hook, MessageWindow* target) : hook_(hook) {
    if (hook_.available() && target != nullptr) {
        hook_.install(target);
        hook_.enableKeys(true);
        installed_ = true;
    }
}

HookCapture::~HookCapture() {
    if (installed_) {
        hook_.remove();
        hook_.enableKeys(false);
    }
}

}  // namespace tvq
