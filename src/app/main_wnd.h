// The program's main window: its layout "main.xml", the tray icon and menu,
// the DPI display, "Hook.so", and the message handling of MainWindowLogic.
#pragma once

#include <QString>
#include <map>
#include <memory>

#include "app/desktop_session.h"
#include "app/hook_library.h"
#include "app/main_window_logic.h"
#include "page/ms_1_page.h"
#include "toolkit/library_messages.h"
#include "toolkit/tray.h"
#include "toolkit/window_base.h"

namespace tvq {

class CDPIMsg;
class LanguageManager;

class CMainWnd final : public WindowImplBase, public MainWindowView {
  public:
    // `mouse` is the program's session, which must outlive the window;
    // `page` is the settings page on it, which the window owns from now on.
    // Without them the window runs as a shell.
    CMainWnd(const LanguageManager& language, LibraryLoader& loader,
             DesktopSession* mouse = nullptr, std::unique_ptr<CMS_1_Page> page = nullptr);
    ~CMainWnd() override;

    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;

    const HookFunctions& hooks() const { return hookLibrary_.functions(); }
    MainWindowLogic& logic() { return logic_; }
    CMS_1_Page* page() const { return page_.get(); }
    CDPIMsg* dpiDisplay() const { return dpiDisplay_.get(); }
    PopupMenu* trayMenu() const { return trayMenu_.get(); }
    // The file the tray menu is read from (tests use their own).
    void setTrayMenuFile(QString file) { trayMenuFile_ = std::move(file); }

    // Shows the window; when it was created with deferred parts, builds them
    // (and so the settings page, the links and the profiles) once the first
    // frame is on screen.
    void showThenBuildTheRest();

    // A menu item was picked: kept here until its WM_MENU_CLICK is handled.
    void postMenuCommand(const MenuCommand& command);
    // Where the run-time libraries post: device reports, attach events and
    // hook input, as signals.
    LibraryMessages& libraryMessages() { return libraryMessages_; }

    // MainWindowView
    void showWindow() override;
    void hideWindow() override;
    void minimizeWindow() override;
    void restoreWindow() override;
    void bringToFront() override;
    bool windowShown() const override;
    bool windowMinimized() const override;
    bool hasSystemTray() const override;
    void selectDeviceTab(int item) override;
    void runNoDeviceMessage() override;
    void openTrayMenu() override;
    void showDpiDisplay(const std::string& text) override;
    void closeDpiDisplay() override;
    void startWindowTimer(int id, int ms) override { WindowImplBase::startWindowTimer(id, ms); }
    void stopWindowTimer(int id) override { WindowImplBase::stopWindowTimer(id); }
    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void quit() override;
    void toggleStartWithDesktop() override;

  protected:
    void setup() override;
    void onDeferredPartsBuilt() override;
    void onWindowTimer(int id) override { logic_.onTimer(id); }
    bool handleCustomMessage(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class FirstFrameWatch;

    const LanguageManager& language_;
    LibraryLoader& loader_;
    LibraryMessages libraryMessages_;
    DesktopSession* mouse_;
    std::unique_ptr<CMS_1_Page> page_;
    MainWindowLogic logic_;
    HookLibrary hookLibrary_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<PopupMenu> trayMenu_;
    std::unique_ptr<CDPIMsg> dpiDisplay_;
    std::map<std::uintptr_t, MenuCommand> menuCommands_;
    std::uintptr_t nextMenuCommand_ = 1;
    QString trayMenuFile_ = "traymenu.xml";
    bool quitting_ = false;
};

}  // namespace tvq
