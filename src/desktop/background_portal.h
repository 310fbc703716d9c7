// The desktop portal's Background interface: asks that the program be listed
// as running in the background (GNOME shows such programs in its system
// menu). A desktop without the portal, or one that says no, costs nothing:
// the program runs on all the same.
#pragma once

#include <QDBusConnection>
#include <QString>

namespace tvq {

void requestBackground(const QDBusConnection& bus, const QString& reason);

}  // namespace tvq
