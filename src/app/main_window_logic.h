// What the main window does with its messages, timers and clicks, apart
// from the widgets: every custom message of the program arrives here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvq {

// A menu item that was picked.
struct MenuCommand {
    std::string name;
    std::string userData;
    std::string text;
};

// The main window's own window, as the logic drives it. User-interface thread.
class MainWindowView {
  public:
    virtual ~MainWindowView() = default;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual void minimizeWindow() = 0;
    virtual void restoreWindow() = 0;
    virtual void bringToFront() = 0;
    virtual bool windowShown() const = 0;
    virtual bool windowMinimized() const = 0;
    // Whether the desktop shows tray icons: without one, hiding the window
    // would leave no way back to it.
    virtual bool hasSystemTray() const = 0;
    virtual void selectDeviceTab(int item) = 0;
    // Runs the message dialog with "warning_title_text" and "no_device_text"
    // modally; returns when it closes.
    virtual void runNoDeviceMessage() = 0;
    // Opens the tray menu 50 pixels above the cursor, replacing an open one.
    virtual void openTrayMenu() = 0;
    // The DPI display: shown with `text` (created or updated), or closed.
    virtual void showDpiDisplay(const std::string& text) = 0;
    virtual void closeDpiDisplay() = 0;
    // The window's own timers; each expiry reaches MainWindowLogic::onTimer.
    virtual void startWindowTimer(int id, int ms) = 0;
    virtual void stopWindowTimer(int id) = 0;
    // Posts a message to this window (handled later by handleMessage).
    virtual void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // Ends the message loop: the program shuts down.
    virtual void quit() = 0;
    // "Start with the desktop" was picked in the tray menu: the autostart
    // entry is written or removed, whichever it was not.
    virtual void toggleStartWithDesktop() {}
};

// The settings page as the main window drives it: the button-function
// menus' choices go to it.
class MainWindowPage {
  public:
    virtual ~MainWindowPage() = default;
    virtual void assignFunction(const std::string& itemName) = 0;
};

// The mouse as the main window sees it: whether it is there, and the apply
// request that timer 43 and WM_APPLY_REQUEST stand for.
class MainWindowMouse {
  public:
    virtual ~MainWindowMouse() = default;
    virtual std::int32_t anyConnected() const = 0;
    virtual void requestApply() = 0;
};

// Mouse messages of the tray icon (lParam of WM_TRAY_NOTIFY).
inline constexpr std::intptr_t kTrayLeftButtonUp = 514;
inline constexpr std::intptr_t kTrayRightButtonUp = 517;

class MainWindowLogic {
  public:
    // Without a page and a mouse the window runs as a shell.
    MainWindowLogic(MainWindowView& view, MainWindowPage* page, MainWindowMouse* mouse)
        : view_(view), page_(page), mouse_(mouse) {}

    // A custom message; false when the window should treat it as its own.
    // A WM_MENU_CLICK carries its record in `menu` (the window owns it).
    bool handleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                       const MenuCommand* menu = nullptr);
    void onTimer(int id);
    void onClick(std::string_view control);
    void onDestroy();

    bool devicePresent() const { return devicePresent_ != 0; }
    bool noDeviceMessageOpen() const { return noDeviceGuard_; }

    // "DPI :" and the DPI of a stage value in 40-DPI steps.
    static std::string dpiText(std::uintptr_t wParam, std::intptr_t stageValue);

  private:
    void showAndActivate(bool skipShowWhenVisible);
    void showOrWarn(bool skipShowWhenVisible);
    void onMenuCommand(const MenuCommand& command);
    void onPresenceChange();
    // Hides the window, or minimises it where there is no tray to come back from.
    void putAway();

    MainWindowView& view_;
    MainWindowPage* page_;
    MainWindowMouse* mouse_;
    std::int32_t devicePresent_ = 0;
    bool noDeviceGuard_ = false;
};

}  // namespace tvq
