// The program's main window: its layout "main.xml", the tray icon and menu,
// the DPI display and "Hook.so"; what it does with them is MainWindowLogic's.
#pragma once

#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/desktop_session.h"
#include "device/mouse_status.h"
#include "input/hook_library.h"
#include "page_widgets/settings_page_view.h"
#include "program/main_window_logic.h"
#include "program/program_settings.h"
#include "toolkit/library_messages.h"
#include "toolkit/loaded_menu.h"
#include "toolkit/window_base.h"

namespace tvq {

class Appearance;
class DesktopPresence;
class DpiDisplay;
class PageReflow;
class LanguageManager;

class MainWindow final : public WindowBase, public MainWindowView {
  public:
    // `mouse` is the program's session, which must outlive the window;
    // `page` is the settings page on it, which the window owns from now on.
    // Without them the window runs as a shell.
    MainWindow(const LanguageManager& language, LibraryLoader& loader,
               DesktopSession* mouse = nullptr, std::unique_ptr<SettingsPageView> page = nullptr);
    ~MainWindow() override;

    static constexpr int kWidth = 800;
    static constexpr int kHeight = 572;

    // The input-hook library, once loaded (shortly after the page).
    HookLibrary& hookLibrary() { return hookLibrary_; }
    MainWindowLogic& logic() { return logic_; }
    SettingsPageView* page() const { return page_.get(); }
    DpiDisplay* dpiDisplay() const { return dpiDisplay_.get(); }
    PageReflow* reflow() const { return reflow_; }
    LoadedMenu* trayMenu() const { return trayMenu_.get(); }
    LoadedMenu* programMenu() const { return programMenu_.get(); }
    // The file the tray menu is read from (tests use their own).
    void setTrayMenuFile(QString file) { trayMenuFile_ = std::move(file); }

    // Shows the window; when it was created with deferred parts, builds them
    // (and so the settings page, the links and the profiles) once the first
    // frame is on screen.
    void showThenBuildTheRest();
    // Builds everything without showing the window: the program waits in
    // the tray. Where the desktop shows no tray icons the window is shown
    // minimised instead, so that there is a way to it.
    void buildInTheTray();

    // Where the run-time libraries post: device reports, attach events and
    // hook input, as signals.
    LibraryMessages& libraryMessages() { return libraryMessages_; }

    // MainWindowView
    void showWindow() override;
    void hideWindow() override;
    void restoreWindow() override;
    void bringToFront() override;
    bool windowShown() const override;
    bool windowMinimized() const override;
    void openTrayMenu() override;
    void showDpiDisplay(const std::string& text, int hideAfterMs) override;
    void closeDpiDisplay() override;
    void quit() override;
    void toggleStartWithDesktop() override;
    void openBatteryAlerts() override;
    void showAbout() override;
    void showHelp();

  protected:
    void setup() override;
    void onDeferredPartsBuilt() override;
    void onLaterPartsBuilt() override;
    void preparePart(QWidget* part) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class FirstFrameWatch;
    class AfterPagePainted;
    class SessionEnd;
    // The tray icon, the session bus, the desktop's colour scheme and "Hook.so".
    void startDesktopIntegrations();
    void showTrayIcon();
    // Runs `then` once the desktop's tray host is known to answer, or not.
    void whenTrayKnown(std::function<void()> then);
    // The header's program menu, under its button.
    void openProgramMenu();
    // The program menu's languages; a choice is kept for the next start.
    void fillLanguageMenu(QMenu& menu);
    void chooseLanguage(const std::string& code);
    // A choice from the program menu applies but could not be kept.
    void tellChoiceNotSaved();
    // Started with the desktop: hidden in the tray, or with the window.
    void toggleStartHidden();
    // False when `item` is not one of the appearance menu's.
    bool chooseAppearance(std::string_view item);
    static constexpr std::pair<const char*, AppearanceChoice> kAppearanceItems[] = {
        {"appearance_system", AppearanceChoice::kSystem},
        {"appearance_light", AppearanceChoice::kLight},
        {"appearance_dark", AppearanceChoice::kDark},
    };

    const LanguageManager& language_;
    LibraryLoader& loader_;
    LibraryMessages libraryMessages_;
    DesktopSession* mouse_;
    std::unique_ptr<SettingsPageView> page_;
    MainWindowLogic logic_;
    HookLibrary hookLibrary_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    std::unique_ptr<LoadedMenu> trayMenu_;
    std::unique_ptr<LoadedMenu> programMenu_;
    std::unique_ptr<DpiDisplay> dpiDisplay_;
    QTimer dpiDisplayHide_;  // closes the DPI display a while after it was last shown
    class DpiWatch;
    std::unique_ptr<DpiWatch> dpiWatch_;
    std::unique_ptr<DesktopPresence> presence_;
    PageReflow* reflow_ = nullptr;  // owned by the page
    std::unique_ptr<Appearance> appearance_;
    QString trayMenuFile_ = "traymenu.xml";
    bool quitting_ = false;
    std::optional<bool> trayUsable_;  // unknown until the tray host is asked
    std::vector<std::function<void()>> waitingForTray_;
};

}  // namespace tvq
