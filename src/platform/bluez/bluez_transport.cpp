#include "platform/bluez/bluez_transport.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>

#include "base/debug.h"
#include "device/device_ids.h"

namespace tvq {
namespace {

const QString kBluez = QStringLiteral("org.bluez");
const QString kObjectManager = QStringLiteral("org.freedesktop.DBus.ObjectManager");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kDeviceInterface = QStringLiteral("org.bluez.Device1");
const QString kServiceInterface = QStringLiteral("org.bluez.GattService1");
const QString kCharInterface = QStringLiteral("org.bluez.GattCharacteristic1");

QString objectPath(const QVariant& v) {
    if (v.userType() == qMetaTypeId<QDBusObjectPath>()) {
        return v.value<QDBusObjectPath>().path();
    }
    return v.toString();
}

QStringList stringList(const QVariant& v) {
    if (v.userType() == qMetaTypeId<QDBusArgument>()) {
        QStringList list;
        v.value<QDBusArgument>() >> list;
        return list;
    }
    return v.toStringList();
}

QByteArray bytes(const QVariant& v) {
    if (v.userType() == qMetaTypeId<QDBusArgument>()) {
        QByteArray b;
        v.value<QDBusArgument>() >> b;
        return b;
    }
    return v.toByteArray();
}

BleDevice deviceFrom(const QString& path, const QVariantMap& p) {
    return {path.toStdString(), p.value("Address").toString().toStdString(),
            p.value("Modalias").toString().toStdString(), p.value("Connected").toBool()};
}

// Reads a{sa{sv}}: the interfaces of one object with their properties.
std::map<QString, QVariantMap> interfacesOf(const QDBusArgument& arg) {
    std::map<QString, QVariantMap> interfaces;
    arg.beginMap();
    while (!arg.atEnd()) {
        QString name;
        QVariantMap properties;
        arg.beginMapEntry();
        arg >> name >> properties;
        arg.endMapEntry();
        interfaces[name] = properties;
    }
    arg.endMap();
    return interfaces;
}

bool isMouse(const BleDevice& d) {
    return modaliasNames(d.modalias, usb::kBleVendorTag, usb::kBleProductTag);
}

}  // namespace

BleObjects parseManagedObjects(const QDBusMessage& reply) {
    BleObjects objects;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
        reply.arguments().at(0).userType() != qMetaTypeId<QDBusArgument>()) {
        return objects;
    }
    const QDBusArgument arg = reply.arguments().at(0).value<QDBusArgument>();
    if (arg.currentSignature() != QLatin1String("a{oa{sa{sv}}}")) {
        return objects;
    }
    std::map<QString, QString> serviceDevice;
    std::vector<std::pair<QString, QVariantMap>> characteristics;
    arg.beginMap();
    while (!arg.atEnd()) {
        QDBusObjectPath path;
        arg.beginMapEntry();
        arg >> path;
        const auto interfaces = interfacesOf(arg);
        arg.endMapEntry();
        for (const auto& [name, properties] : interfaces) {
            if (name == kDeviceInterface) {
                objects.devices.push_back(deviceFrom(path.path(), properties));
            } else if (name == kServiceInterface) {
                serviceDevice[path.path()] = objectPath(properties.value("Device"));
            } else if (name == kCharInterface) {
                characteristics.emplace_back(path.path(), properties);
            }
        }
    }
    arg.endMap();
    for (const auto& [path, p] : characteristics) {
        BleCharacteristic c;
        c.path = path.toStdString();
        c.uuid = p.value("UUID").toString().toStdString();
        const QString service = objectPath(p.value("Service"));
        const auto it = serviceDevice.find(service);
        // BlueZ puts a characteristic under its service, and that under its
        // device; the path tells when the service does not.
        c.devicePath = it != serviceDevice.end() ? it->second.toStdString()
                                                 : path.section('/', 0, -3).toStdString();
        for (const QString& f : stringList(p.value("Flags"))) {
            c.flags.push_back(f.toStdString());
        }
        objects.characteristics.push_back(std::move(c));
    }
    return objects;
}

BluezTransport::BluezTransport(QDBusConnection bus, int timeoutMs)
    : BluezTransport([bus] { return bus; }, timeoutMs) {}

BluezTransport::BluezTransport(std::function<QDBusConnection()> openBus, int timeoutMs)
    : openBus_(std::move(openBus)), timeoutMs_(timeoutMs) {}

QDBusConnection& BluezTransport::bus() const {
    std::call_once(opened_, [this] { bus_.emplace(openBus_()); });
    return *bus_;
}

BluezTransport::~BluezTransport() = default;

void BluezTransport::connectSignals() {
    if (signalsConnected_ || !bus().isConnected()) {
        return;
    }
    signalsConnected_ = true;
    bus().connect(kBluez, "/", kObjectManager, "InterfacesAdded", this,
                  SLOT(onInterfacesAdded(QDBusMessage)));
    bus().connect(kBluez, "/", kObjectManager, "InterfacesRemoved", this,
                  SLOT(onInterfacesRemoved(QDBusMessage)));
    // Devices' connection changes and the notify characteristic's values.
    bus().connect(kBluez, QString(), kProperties, "PropertiesChanged", this,
                  SLOT(onPropertiesChanged(QDBusMessage)));
}

void BluezTransport::watch() {
    if (watching_ || !bus().isConnected()) {
        return;
    }
    watching_ = true;
    connectSignals();
    watcher_ = new QDBusServiceWatcher(kBluez, bus(), QDBusServiceWatcher::WatchForUnregistration,
                                       this);  // a child: destroyed with this object
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
            &BluezTransport::onBluezGone);

    QDBusMessage call =
        QDBusMessage::createMethodCall(kBluez, "/", kObjectManager, "GetManagedObjects");
    auto* pending = new QDBusPendingCallWatcher(bus().asyncCall(call, timeoutMs_), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError()) {
            debug::write("BlueZ: " + w->error().message().toStdString() + "\n");
            return;
        }
        const BleObjects objects = parseManagedObjects(w->reply());
        bool connected = false;
        for (const BleDevice& d : objects.devices) {
            devices_[QString::fromStdString(d.path)] = d;
            connected = connected || (isMouse(d) && d.connected);
        }
        if (connected && events_.connection) {
            events_.connection(true);
        }
    });
}

std::optional<BleObjects> BluezTransport::managedObjects() const {
    if (!bus().isConnected()) {
        return std::nullopt;
    }
    const QDBusMessage call =
        QDBusMessage::createMethodCall(kBluez, "/", kObjectManager, "GetManagedObjects");
    const QDBusMessage reply = bus().call(call, QDBus::Block, timeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        debug::write("BlueZ: " + reply.errorMessage().toStdString() + "\n");
        return std::nullopt;
    }
    return parseManagedObjects(reply);
}

bool BluezTransport::findConnectedMouse() {
    const auto objects = managedObjects();
    if (!objects) {
        return false;
    }
    setAddresses(connectedAddresses(*objects));
    return mouseConnected(*objects, usb::kBleVendorTag, usb::kBleProductTag);
}

void BluezTransport::setAddresses(std::vector<std::string> addresses) {
    std::lock_guard lock(mutex_);
    addresses_ = std::move(addresses);
}

std::vector<std::string> BluezTransport::addresses() const {
    std::lock_guard lock(mutex_);
    return addresses_;
}

bool BluezTransport::writeFrame(std::string_view vendorTag, std::string_view productTag,
                                std::span<const std::uint8_t> frame) {
    const auto objects = managedObjects();
    if (!objects) {
        return false;
    }
    const QByteArray value(reinterpret_cast<const char*>(frame.data()),
                           static_cast<qsizetype>(frame.size()));
    const QVariantMap options{{QStringLiteral("type"), QStringLiteral("request")}};
    for (const std::string& path : mouseCharacteristics(
             *objects, vendorTag, productTag, addresses(), kBleWriteUuid, kBleWriteFlag)) {
        QDBusMessage call = QDBusMessage::createMethodCall(kBluez, QString::fromStdString(path),
                                                           kCharInterface, "WriteValue");
        call << value << options;
        const QDBusMessage reply = bus().call(call, QDBus::Block, timeoutMs_);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            debug::write("Bluetooth LE frame written to " + path + "\n");
            return true;
        }
        debug::write("Bluetooth LE frame not written to " + path + ": " +
                     reply.errorMessage().toStdString() + "\n");
    }
    return false;
}

void BluezTransport::subscribe(std::string_view vendorTag, std::string_view productTag) {
    if (!bus().isConnected()) {
        return;
    }
    connectSignals();
    QDBusMessage call =
        QDBusMessage::createMethodCall(kBluez, "/", kObjectManager, "GetManagedObjects");
    auto* pending = new QDBusPendingCallWatcher(bus().asyncCall(call, timeoutMs_), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, vendor = std::string(vendorTag),
             product = std::string(productTag)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (w->isError()) {
                    debug::write("BlueZ: " + w->error().message().toStdString() + "\n");
                    return;
                }
                subscribeTo(parseManagedObjects(w->reply()), vendor, product);
            });
}

void BluezTransport::subscribeTo(const BleObjects& objects, const std::string& vendor,
                                 const std::string& product) {
    setAddresses(connectedAddresses(objects));
    const auto paths =
        mouseCharacteristics(objects, vendor, product, addresses(), kBleNotifyUuid, kBleNotifyFlag);
    for (const std::string& p : paths) {
        const QString path = QString::fromStdString(p);
        if (subscribed_.contains(path)) {
            continue;  // already subscribed: every report arrives once
        }
        subscribed_.insert(path);
        debug::write("Setting Notification for " + p + "\n");
        const QDBusMessage call =
            QDBusMessage::createMethodCall(kBluez, path, kCharInterface, "StartNotify");
        auto* pending = new QDBusPendingCallWatcher(bus().asyncCall(call, timeoutMs_), this);
        connect(pending, &QDBusPendingCallWatcher::finished, this, [p](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            if (w->isError()) {
                debug::write("StartNotify " + p + ": " + w->error().message().toStdString() + "\n");
            }
        });
    }
}

void BluezTransport::unsubscribe() {
    for (const QString& path : std::as_const(subscribed_)) {
        // The answer does not matter: a mouse that went away has ended it.
        const QDBusMessage call =
            QDBusMessage::createMethodCall(kBluez, path, kCharInterface, "StopNotify");
        auto* pending = new QDBusPendingCallWatcher(bus().asyncCall(call, timeoutMs_), this);
        connect(pending, &QDBusPendingCallWatcher::finished, pending, &QObject::deleteLater);
    }
    subscribed_.clear();
}

QStringList BluezTransport::subscribedPaths() const {
    return QStringList(subscribed_.begin(), subscribed_.end());
}

void BluezTransport::reportIfMouse(const BleDevice& device) {
    if (isMouse(device) && events_.connection) {
        events_.connection(device.connected);
    }
}

void BluezTransport::onInterfacesAdded(const QDBusMessage& message) {
    const auto args = message.arguments();
    if (args.size() < 2 || args.at(1).userType() != qMetaTypeId<QDBusArgument>()) {
        return;
    }
    const QDBusArgument arg = args.at(1).value<QDBusArgument>();
    if (arg.currentSignature() != QLatin1String("a{sa{sv}}")) {
        return;  // not what BlueZ sends
    }
    const QString path = objectPath(args.at(0));
    const auto interfaces = interfacesOf(arg);
    const auto it = interfaces.find(kDeviceInterface);
    if (it == interfaces.end()) {
        return;
    }
    const BleDevice device = deviceFrom(path, it->second);
    devices_[path] = device;
    if (device.connected) {
        reportIfMouse(device);
    }
}

void BluezTransport::onInterfacesRemoved(const QDBusMessage& message) {
    const auto args = message.arguments();
    if (args.size() < 2) {
        return;
    }
    const QString path = objectPath(args.at(0));
    if (!stringList(args.at(1)).contains(kDeviceInterface)) {
        return;
    }
    const auto it = devices_.find(path);
    if (it == devices_.end()) {
        return;
    }
    BleDevice device = it->second;
    devices_.erase(it);
    device.connected = false;
    reportIfMouse(device);
}

void BluezTransport::onPropertiesChanged(const QDBusMessage& message) {
    const auto args = message.arguments();
    if (args.size() < 2) {
        return;
    }
    const QString interface = args.at(0).toString();
    QVariantMap changed;
    if (args.at(1).userType() == qMetaTypeId<QDBusArgument>()) {
        args.at(1).value<QDBusArgument>() >> changed;
    } else {
        changed = args.at(1).toMap();
    }
    if (interface == kCharInterface) {
        onValueChanged(message.path(), changed);
        return;
    }
    if (interface != kDeviceInterface || !changed.contains("Connected")) {
        return;
    }
    const auto it = devices_.find(message.path());
    if (it == devices_.end()) {
        return;  // not known yet: the answer to the first query tells
    }
    it->second.connected = changed.value("Connected").toBool();
    reportIfMouse(it->second);
}

void BluezTransport::onValueChanged(const QString& path, const QVariantMap& changed) {
    if (!subscribed_.contains(path) || !changed.contains("Value")) {
        return;
    }
    const QByteArray value = bytes(changed.value("Value"));
    if (events_.notification) {
        events_.notification(std::vector<std::uint8_t>(value.begin(), value.end()));
    }
}

void BluezTransport::onBluezGone() {
    // BlueZ left the bus: every device it told of is gone with it.
    bool hadMouse = false;
    for (const auto& [path, d] : devices_) {
        hadMouse = hadMouse || isMouse(d);
    }
    devices_.clear();
    subscribed_.clear();
    if (hadMouse && events_.connection) {
        events_.connection(false);
    }
}

}  // namespace tvq
