#include "desktop/mouse_service.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

#include "base/debug.h"

namespace tvq {

MouseService::MouseService(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {}

MouseService::~MouseService() {
    if (registered_) {
        bus_.unregisterObject(QString::fromLatin1(kObjectPath));
        bus_.unregisterService(QString::fromLatin1(kServiceName));
    }
}

bool MouseService::start() {
    if (!bus_.isConnected()) {
        debug::write("no session bus: the program is not offered on it\n");
        return false;
    }
    if (!bus_.registerObject(QString::fromLatin1(kObjectPath), this,
                             QDBusConnection::ExportAllProperties)) {
        debug::write("the program's object could not be put on the session bus\n");
        return false;
    }
    registered_ = true;
    if (!bus_.registerService(QString::fromLatin1(kServiceName))) {
        debug::write(std::string("the name ") + kServiceName + " is taken on the session bus\n");
        return false;
    }
    return true;
}

QString MouseService::connection() const {
    switch (status_.link) {
        case MouseStatus::Link::kCable:
            return QStringLiteral("cable");
        case MouseStatus::Link::kReceiver:
            return QStringLiteral("receiver");
        case MouseStatus::Link::kBluetooth:
            return QStringLiteral("bluetooth");
        case MouseStatus::Link::kNone:
            break;
    }
    return {};
}

void MouseService::setStatus(const MouseStatus& status) {
    const QString oldConnection = connection();
    const int oldBattery = battery();
    const bool oldCharging = charging();
    status_ = status;
    QVariantMap changed;
    if (connection() != oldConnection) {
        changed.insert(QStringLiteral("Connection"), connection());
    }
    if (battery() != oldBattery) {
        changed.insert(QStringLiteral("Battery"), battery());
    }
    if (charging() != oldCharging) {
        changed.insert(QStringLiteral("Charging"), charging());
    }
    if (!registered_ || changed.isEmpty()) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kInterface) << changed << QStringList();
    bus_.send(signal);
}

}  // namespace tvq
