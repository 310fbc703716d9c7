// "Hook.so" loaded from the program folder, with its seven entry points;
// each may be missing, and a missing one is never called.
#pragma once

#include <memory>
#include <string>

#include "device/feature_transport.h"
#include "tvq/hook.h"

namespace tvq {

struct HookFunctions {
    TvqInstallMouseHook* installmousehook = nullptr;
    TvqRemoveMouseHook* removemousehook = nullptr;
    TvqEnableMouseHook* enablemousehook = nullptr;
    TvqInstallHook* installhook = nullptr;
    TvqRemoveHook* removehook = nullptr;
    TvqEnableHook* enablehook = nullptr;
    TvqMouseWheelEnable* mousewheelenable = nullptr;
};

class HookLibrary {
  public:
    // Loads and binds; with no library every entry stays empty.
    void load(LibraryLoader& loader, const std::string& programFolder);
    // removemousehook, then removehook (each when present), then unloads.
    void unload();
    const HookFunctions& functions() const { return functions_; }
    bool loaded() const { return library_ != nullptr; }

  private:
    std::unique_ptr<LoadedLibrary> library_;
    HookFunctions functions_;
};

}  // namespace tvq
