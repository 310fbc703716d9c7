#include "desktop/tray_host.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <memory>

#include "base/debug.h"
#include "desktop/bus_calls.h"

namespace tvq {
namespace {

void whenAnswered(const QDBusConnection& bus, const QDBusMessage& call, QObject* context,
                  std::function<void(const QDBusMessage&)> then) {
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection(bus).asyncCall(call, kDesktopCallTimeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [then = std::move(then)](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         then(w->reply());
                     });
}

}  // namespace

void TrayHostCheck::ask(const QDBusConnection& bus, QObject* context,
                        std::function<void(bool usable)> answered) {
    if (!bus.isConnected()) {
        QTimer::singleShot(0, context, [answered] { answered(true); });
        return;
    }
    QDBusMessage owner = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    owner << QString::fromLatin1(kWatcherService);
    whenAnswered(bus, owner, context, [bus, context, answered](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || !reply.arguments().value(0).toBool()) {
            answered(true);  // no watcher: nothing that could block
            return;
        }
        QDBusMessage get = QDBusMessage::createMethodCall(
            QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << QString::fromLatin1(kWatcherService)
            << QStringLiteral("IsStatusNotifierHostRegistered");
        whenAnswered(bus, get, context, [answered](const QDBusMessage& reply) {
            // An error in words is an answer; only silence is not.
            const bool silent =
                reply.type() == QDBusMessage::ErrorMessage &&
                (reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.NoReply") ||
                 reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.Timeout"));
            if (silent) {
                debug::write("the tray host does not answer: no tray icon\n");
            }
            answered(!silent);
        });
    });
}

}  // namespace tvq
