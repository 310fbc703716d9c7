// The program's two appearances, light and dark. Layout style sheets name
// their colours as "@name@" (for example "@text@", "@accent@"); a layout's
// sheet is shown with the colours of the scheme the application's palette
// is in, and shown again when that palette changes.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <QStringView>
#include <functional>

class QWidget;

namespace tvq {

enum class Scheme { kLight, kDark };

// The colour `name` stands for; invalid for a name that is not one.
QColor schemeColour(Scheme scheme, QStringView name);
// `sheet` with every "@name@" replaced by its colour in `scheme`.
QString themedSheet(const QString& sheet, Scheme scheme);
// The application palette of `scheme`: menus, drop-down lists, tooltips and
// the file dialogs take their colours from it.
QPalette schemePalette(Scheme scheme);
// Dark when the palette's window colour is.
Scheme schemeOf(const QPalette& palette);
// The scheme of the application's palette.
Scheme currentScheme();
// Calls `show` with the scheme now, and again each time a change of the
// application's palette brings `widget` another scheme; for as long as
// `widget` lives.
void followScheme(QWidget* widget, std::function<void(Scheme)> show);

}  // namespace tvq
