// tvqctl-ble.so: tvqctl apply over Bluetooth LE, through BlueZ on the system bus (or the bus
// named by DBUS_SYSTEM_BUS_ADDRESS).
#include <QCoreApplication>
#include <QDBusConnection>
#include <chrono>
#include <iostream>
#include <thread>

#include "apply_command.h"
#include "base/constants.h"
#include "device/ble_link.h"
#include "platform/bluez/bluez_transport.h"

namespace tvq {

namespace {

int applyOverBleNow(const Profile& profile) {
    // D-Bus needs an application object; tvqctl has none otherwise.
    int argc = 1;
    char name[] = "tvqctl";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    BluezTransport transport(QDBusConnection::systemBus());
    if (!transport.findConnectedMouse()) {
        return -1;
    }
    std::cout << "mouse found over Bluetooth LE" << std::endl;
    BleLink link(&transport);
    link.setTags(usb::kBleVendorTag, usb::kBleProductTag);
    LinkState links;
    links.bleConnected = 1;
    links.anyConnected = 1;
    links.deviceAsleep = 0;
    SystemClock clock;
    SendPath path(links, clock, nullptr, nullptr, &link);
    return runApply(profile, path, links, clock, [] {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
}

}  // namespace

}  // namespace tvq

// The module's one entry point: -1 when no mouse is connected over Bluetooth
// LE, else the exit status of the apply.
extern "C" __attribute__((visibility("default"))) int tvqctl_apply_over_ble(
    const tvq::Profile* profile) {
    return tvq::applyOverBleNow(*profile);
}
