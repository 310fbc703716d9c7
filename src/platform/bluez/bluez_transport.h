// The mouse over Bluetooth LE through BlueZ on D-Bus (the system bus, or the
// bus named by DBUS_SYSTEM_BUS_ADDRESS). Frames are written to the mouse's
// characteristic 0xFEE3 with WriteValue; its status reports arrive as
// changes of the Value of characteristic 0xFEE4 after StartNotify. Devices
// appearing, vanishing, connecting and disconnecting are reported as the
// mouse's connection events. Without BlueZ nothing is found and nothing
// waits longer than one call's timeout.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/ble_link.h"
#include "device/ble_objects.h"

class QDBusMessage;
class QDBusServiceWatcher;

namespace tvq {

class BluezTransport final : public QObject, public BleTransport {
    Q_OBJECT

  public:
    struct Events {
        // The mouse connected (true) or went away (false). A removal is
        // reported every time it happens; an arrival may repeat.
        std::function<void(bool connected)> connection;
        // A value of the notify characteristic, in arrival order.
        std::function<void(const std::vector<std::uint8_t>& value)> notification;
    };

    static constexpr int kCallTimeoutMs = 2000;

    explicit BluezTransport(QDBusConnection bus, int timeoutMs = kCallTimeoutMs);
    // Connects with `openBus` when BlueZ is first asked, not before: the
    // program's first frame does not wait for the system bus.
    explicit BluezTransport(std::function<QDBusConnection()> openBus,
                            int timeoutMs = kCallTimeoutMs);
    ~BluezTransport() override;

    void setEvents(Events events) { events_ = std::move(events); }

    // Starts following BlueZ; the mouse's current state is reported as a
    // connection event once BlueZ has answered. User-interface thread.
    void watch();

    // Asks BlueZ now (blocking, with the timeout): every object, or nothing
    // when BlueZ does not answer.
    std::optional<BleObjects> managedObjects() const;
    // Blocking: whether the mouse is connected; also takes its address as
    // the one to write to (what a subscription does).
    bool findConnectedMouse();

    // BleTransport
    bool writeFrame(std::string_view vendorTag, std::string_view productTag,
                    std::span<const std::uint8_t> frame) override;
    void subscribe(std::string_view vendorTag, std::string_view productTag) override;
    void unsubscribe() override;

    QStringList subscribedPaths() const;

  private slots:
    void onInterfacesAdded(const QDBusMessage& message);
    void onInterfacesRemoved(const QDBusMessage& message);
    void onPropertiesChanged(const QDBusMessage& message);
    void onBluezGone();

  private:
    void connectSignals();
    void setAddresses(std::vector<std::string> addresses);
    std::vector<std::string> addresses() const;
    void subscribeTo(const BleObjects& objects, const std::string& vendor,
                     const std::string& product);
    void reportIfMouse(const BleDevice& device);
    void onValueChanged(const QString& path, const QVariantMap& changed);

    QDBusConnection& bus() const;

    std::function<QDBusConnection()> openBus_;
    mutable std::once_flag opened_;
    mutable std::optional<QDBusConnection> bus_;
    int timeoutMs_;
    Events events_;
    QDBusServiceWatcher* watcher_ = nullptr;  // a child of this object
    bool watching_ = false;
    bool signalsConnected_ = false;
    // What BlueZ told about devices, by path (user-interface thread).
    std::map<QString, BleDevice> devices_;
    QSet<QString> subscribed_;
    mutable std::mutex mutex_;  // guards addresses_, which the worker reads
    std::vector<std::string> addresses_;
};

// Parses the reply of GetManagedObjects (a{oa{sa{sv}}}).
BleObjects parseManagedObjects(const QDBusMessage& reply);

}  // namespace tvq
