// What the main window does apart from its widgets: when it shows or hides,
// what the tray icon and the tray menu do, and what the on-screen DPI display
// says. The window stays whether or not the mouse is there (the page says
// so); without it the profiles are still shown and edited. Every call comes on the
// user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tvq {

// The main window's own window, as the logic drives it.
class MainWindowView {
  public:
    virtual ~MainWindowView() = default;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual void restoreWindow() = 0;
    virtual void bringToFront() = 0;
    virtual bool windowShown() const = 0;
    virtual bool windowMinimized() const = 0;
    // Opens the tray menu 50 pixels above the cursor, replacing an open one.
    virtual void openTrayMenu() = 0;
    // The DPI display: shown with `text` (created or updated) and closed
    // `hideAfterMs` after the last time it was shown; or closed now.
    virtual void showDpiDisplay(const std::string& text, int hideAfterMs) = 0;
    virtual void closeDpiDisplay() = 0;
    // Ends the event loop: the program shuts down.
    virtual void quit() = 0;
    // The autostart entry is written or removed, whichever it was not.
    virtual void toggleStartWithDesktop() = 0;
    // The battery notifications' settings, in their dialog.
    virtual void openBatteryAlerts() = 0;
    // The program's name, version, licence and home.
    virtual void showAbout() = 0;
};

// How the tray icon was clicked.
enum class TrayClick {
    kPrimary,  // a left click: the window
    kContext,  // a right click: the tray menu
};

class MainWindowLogic {
  public:
    explicit MainWindowLogic(MainWindowView& view) : view_(view) {}

    void trayClicked(TrayClick click);
    // An item of the tray menu or the program menu, by name (letter case
    // ignored): "configuration", "autostart", "battery", "about" and "exit".
    void trayMenuPicked(std::string_view item);
    // The window is wanted in front: the tray's "configuration", a second
    // copy of the program.
    void showRequested();
    // The mouse switched to a DPI stage of `dpiValue` (stored unit).
    void dpiStageShown(std::int32_t dpiValue);
    // The window's close button: the window goes to the tray.
    void closeRequested();
    // The program ends.
    void exitRequested();

    // "DPI: " and the DPI of a stage value in 40-DPI steps.
    static std::string dpiText(std::int32_t stageValue);
    static constexpr int kDpiDisplayMs = 2000;

  private:
    void showAndActivate(bool skipShowWhenVisible);
    // Hides the window: the program goes on, in the tray or, without one,
    // in the background (started again, it comes back to the front).
    void putAway();

    MainWindowView& view_;
};

}  // namespace tvq
