// What the program shows and offers of the mouse outside its window: the
// tray icon's state and tooltip, the profiles in the tray menu, battery
// notifications, the program's object on the session bus, profiles that
// follow the application in focus, and the dialogs that set the last two.
// It follows the mouse's state and the session's profiles, not the page's
// widgets: the main window makes it once the links have started, before the
// page shows the profiles.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "app/desktop_session.h"
#include "device/mouse_state.h"
#include "device/mouse_status.h"
#include "program/program_settings.h"

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace tvq {

class BatteryNotifier;
class LanguageManager;
class MouseService;
class ProfileSwitching;
class SettingsPage;

class DesktopPresence final : public QObject, private MouseStateObserver {
  public:
    // `window` owns the dialogs; `mouse` and `page` (the page's logic, which
    // selects profiles) outlive this object.
    DesktopPresence(QWidget& window, const LanguageManager& language, DesktopSession& mouse,
                    SettingsPage& page);
    ~DesktopPresence() override;

    // After the first frame: notifications, the program's object on the
    // session bus, and following the focus the way this desktop allows.
    void joinSessionBus();
    // Says once that the settings file was damaged or could not be read.
    void tellSettingsProblem();

    // The icon and tooltip of `tray` show the mouse's state from now on.
    void showIn(QSystemTrayIcon* tray);
    // The profiles first in `menu`, the selected one checked; a click selects.
    void addProfilesTo(QMenu& menu);

    void openBatteryAlerts();
    void openApplicationRules();
    // Whether profiles follow the application in focus; for all profiles.
    bool automaticSwitching() const;
    void setAutomaticSwitching(bool on);
    // The window was closed into the tray: the first time ever, says so.
    // The window was closed: says once where the program went, in the tray
    // or (`tray` false) in the background, where the desktop portal is
    // asked to list it as running.
    void tellClosedOnce(bool tray);

  private:
    // The tray, the notifications and the session-bus object follow the
    // mouse's state.
    void mouseStateChanged(const MouseStatus& status) override;
    void updateTray();
    void tellNotSaved(const char* textKey);

    QWidget& window_;
    const LanguageManager& language_;
    DesktopSession& mouse_;
    SettingsPage& page_;
    MouseStatus status_;
    BatteryAlertSettings alerts_;  // in effect, also when they could not be written
    QSystemTrayIcon* tray_ = nullptr;
    std::unique_ptr<ProfileSwitching> switching_;
    std::unique_ptr<BatteryNotifier> notifier_;
    std::unique_ptr<MouseService> service_;
    bool toldNotSaved_ = false;
    bool backgroundRequested_ = false;  // of the desktop portal, once a run
};

}  // namespace tvq
