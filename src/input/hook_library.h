// "Hook.so" loaded from the program folder, and the capture of keys through
// it. Each of the library's seven entry points may be missing; a missing one
// is never called.
#pragma once

#include <memory>
#include <string>

#include "device/feature_transport.h"
#include "tvq/hook.h"

namespace tvq {

// The input hook as its users drive it. Every call does nothing where the
// library or its entry point is missing.
class InputHook {
  public:
    virtual ~InputHook() = default;
    // False when there is no hook library: nothing can be captured.
    virtual bool available() const = 0;
    // Starts reporting input to `target` (installhook).
    virtual void install(MessageWindow* target) = 0;
    // Stops and joins the reporting thread (removehook).
    virtual void remove() = 0;
    virtual void enableKeys(bool on) = 0;   // enablehook
    virtual void enableMouse(bool on) = 0;  // enablemousehook
    virtual void removeMouse() = 0;         // removemousehook
    virtual void enableWheel(bool on) = 0;  // mousewheelenable
};

class HookLibrary final : public InputHook {
  public:
    HookLibrary() = default;
    HookLibrary(const HookLibrary&) = delete;
    HookLibrary& operator=(const HookLibrary&) = delete;
    ~HookLibrary() override { unload(); }

    // Loads and binds; with no library every entry stays empty.
    void load(LibraryLoader& loader, const std::string& programFolder);
    // removemousehook, then removehook (each when present), then unloads.
    void unload();
    bool loaded() const { return library_ != nullptr; }
    // Whether every entry point was found.
    bool complete() const;

    bool available() const override { return entries_.installhook != nullptr; }
    void install(MessageWindow* target) override;
    void remove() override;
    void enableKeys(bool on) override;
    void enableMouse(bool on) override;
    void removeMouse() override;
    void enableWheel(bool on) override;

  private:
    struct Entries {
        TvqInstallMouseHook* installmousehook = nullptr;
        TvqRemoveMouseHook* removemousehook = nullptr;
        TvqEnableMouseHook* enablemousehook = nullptr;
        TvqInstallHook* installhook = nullptr;
        TvqRemoveHook* removehook = nullptr;
        TvqEnableHook* enablehook = nullptr;
        TvqMouseWheelEnable* mousewheelenable = nullptr;
    };
    std::unique_ptr<LoadedLibrary> library_;
    Entries entries_;
};

// Keys captured through the hook for as long as this object lives: the hook
// is installed and its keys enabled, then removed and its keys disabled, in
// that order. Where the hook is not available it does nothing.
class HookCapture {
  public:
    HookCapture(InputHook& hook, MessageWindow* target);
    ~HookCapture();
    HookCapture(const HookCapture&) = delete;
    HookCapture& operator=(const HookCapture&) = delete;

  private:
    InputHook& hook_;
    bool installed_ = false;
};

}  // namespace tvq
