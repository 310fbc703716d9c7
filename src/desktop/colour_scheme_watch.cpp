#include "desktop/colour_scheme_watch.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include "base/debug.h"
#include "desktop/bus_calls.h"

namespace tvq {

ColourSchemeWatch::ColourSchemeWatch(QDBusConnection bus, std::function<void(Preference)> answered,
                                     QObject* parent)
    : QObject(parent), answered_(std::move(answered)) {
    if (!bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                     SLOT(settingChanged(QDBusMessage)))) {
        debug::write("appearance: cannot follow the portal's changes\n");
    }
    QDBusMessage read =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Read"));
    read << QString::fromLatin1(kNamespace) << QString::fromLatin1(kKey);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read, kDesktopCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *call;
                if (reply.isError()) {
                    debug::write("appearance: no desktop portal answers (" +
                                 reply.error().name().toStdString() + ")\n");
                    return;
                }
                tell(reply.value().variant());
            });
}

void ColourSchemeWatch::settingChanged(const QDBusMessage& message) {
    const QVariantList args = message.arguments();
    if (args.size() == 3 && args[0].toString() == QLatin1String(kNamespace) &&
        args[1].toString() == QLatin1String(kKey)) {
        tell(args[2]);
    }
}

void ColourSchemeWatch::tell(const QVariant& value) {
    // Read answers with the value in a second variant; unwrap as many as come.
    QVariant v = value;
    for (int depth = 0; depth < 4 && v.metaType() == QMetaType::fromType<QDBusVariant>(); ++depth) {
        v = v.value<QDBusVariant>().variant();
    }
    if (v.metaType() != QMetaType::fromType<uint>()) {
        debug::write("appearance: the portal's color-scheme is not a number\n");
        return;
    }
    const uint n = v.toUInt();
    answered_(n == 1 ? Preference::kDark : n == 2 ? Preference::kLight : Preference::kNone);
}

}  // namespace tvq
