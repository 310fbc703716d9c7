#include "desktop/notifications.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "base/debug.h"

namespace tvq {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
constexpr int kServerDecidesTimeout = -1;

}  // namespace

DesktopNotifications::DesktopNotifications(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {}

void DesktopNotifications::show(const QString& summary, const QString& body, Urgency urgency) {
    const Pending n{summary, body, urgency};
    if (waiting_) {
        next_ = n;  // replaces whatever waited before it
        return;
    }
    send(n);
}

void DesktopNotifications::send(const Pending& n) {
    if (!bus_.isConnected()) {
        debug::write("notification not shown: no session bus\n");
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
        QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(n.urgency)));
    hints.insert(QStringLiteral("desktop-entry"), QString::fromLatin1(kDesktopEntry));
    hints.insert(QStringLiteral("category"), QStringLiteral("device"));
    call << QCoreApplication::applicationName() << lastId_ << QString::fromLatin1(kDesktopEntry)
         << n.summary << n.body << QStringList() << hints << kServerDecidesTimeout;
    waiting_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        w->deleteLater();
        waiting_ = false;
        if (reply.isError()) {
            debug::write("notification not shown: " + reply.error().message().toStdString() +
                         "\n");
        } else {
            lastId_ = reply.value();
        }
        if (next_) {
            const Pending n = *next_;
            next_.reset();
            send(n);
        }
    });
}

}  // namespace tvq
