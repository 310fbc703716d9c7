// The tray icon, and pop-up menus built from menu files under "res/".
//
// A menu file lists items, separators and sub-menus:
//   <menu>
//     <item name="configuration" textKey="tray_settings_text" userData=""/>
//     <item name="autostart" textKey="tray_autostart_text" checkable="true"/>
//     <separator/>
//     <menu textKey="menu_media_text"> <item .../> </menu>
//     <item name="exit" textKey="tray_exit_text"/>
//   </menu>
#pragma once

#include <QIcon>
#include <QMenu>
#include <QString>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "app/main_window_logic.h"

namespace tvq {

class LanguageManager;
class WindowImplBase;

// Posts WM_TRAY_NOTIFY (1025) to `target` with the mouse message of a click:
// 514 for a left click, 517 for a right click.
class TrayIcon {
  public:
    TrayIcon(WindowImplBase& target, const QIcon& icon, const QString& tooltip);
    bool available() const;

  private:
    QSystemTrayIcon icon_;
};

// A pop-up menu whose items call `picked` with their menu command.
class PopupMenu {
  public:
    // False (an empty menu) when the file is missing or malformed.
    bool load(const QString& path, const LanguageManager& language,
              std::function<void(const MenuCommand&)> picked);
    void popup(const QPoint& at);
    QMenu& menu() { return menu_; }

  private:
    QMenu menu_;
};

// The program's icon, drawn rather than loaded, so it exists on any machine.
QIcon productIcon();

}  // namespace tvq
