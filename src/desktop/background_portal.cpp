#include "desktop/background_portal.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QVariantMap>

#include "base/debug.h"
#include "desktop/bus_calls.h"

namespace tvq {

void requestBackground(const QDBusConnection& bus, const QString& reason) {
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Background"), QStringLiteral("RequestBackground"));
    // No parent window: the main window has just been closed.
    request << QString()
            << QVariantMap{{QStringLiteral("reason"), reason},
                           {QStringLiteral("autostart"), false}};
    // The answer comes later as a Response signal, which the program does
    // not need: it runs whatever the answer.
    QDBusConnection(bus).asyncCall(request, kDesktopCallTimeoutMs);
    debug::write("asked the desktop portal to run in the background\n");
}

}  // namespace tvq
