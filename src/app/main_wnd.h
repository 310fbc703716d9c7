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

    // A menu item was picked: kept here until its WM_MENU_CLICK is handled.
    void postMenuCommand(const MenuCommand& command);

    // MainWindowView
    void show() override;
    void hide() override;
    void minimize() override;
    void restore() override;
    void activate() override;
    bool isVisible() const override;
    bool isMinimized() const override;
    bool hasSystemTray() const override;
    void selectDeviceTab(int item) override;
    void runNoDeviceMessage() override;
    void openTrayMenu() override;
    void showDpiDisplay(const std::string& text) override;
    void closeDpiDisplay() override;
    void startTimer(int id, int ms) override;
    void stopTimer(int id) override;
    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void quit() override;

  protected:
    void setup() override;
    void onClick(const Notification& n) override;
    bool handleCustomMessage(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    const LanguageManager& language_;
    LibraryLoader& loader_;
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
