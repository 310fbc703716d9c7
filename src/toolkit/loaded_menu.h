// Pop-up menus built from menu files under "res/" (the tray menu and the
// key buttons' function menus), and the program's icon.
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
#include <QRect>
#include <QString>
#include <functional>
#include <string>

namespace tvq {

class LanguageManager;

// A menu item that was picked.
struct MenuCommand {
    std::string name;
    std::string userData;
    std::string text;
};

// A pop-up menu whose items call `picked` with their menu command.
class LoadedMenu {
  public:
    // False (an empty menu) when the file is missing or malformed.
    bool load(const QString& path, const LanguageManager& language,
              std::function<void(const MenuCommand&)> picked);
    void popup(const QPoint& at);
    QMenu& menu() { return menu_; }

    // Where a menu of `height` pixels opens beside `button`: at its right
    // edge and top, moved up when it would leave `screen`.
    static QPoint placeBeside(const QRect& button, int height, const QRect& screen);

  private:
    QMenu menu_;
};

// The program's icon, drawn rather than loaded, so it exists on any machine;
// or one size of it. Where it is shown on a background the program does not
// know (a panel, light or dark), its body is a middle tone that stands out
// 3:1 from either.
enum class ProductBody { kDeep, kMiddleTone };
QIcon productIcon();
QPixmap productPixmap(int size, ProductBody body = ProductBody::kDeep);

}  // namespace tvq
