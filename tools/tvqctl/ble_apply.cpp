// tvqctl-ble.so: tvqctl apply over Bluetooth LE, through BlueZ on the system bus (or the bus
// named by DBUS_SYSTEM_BUS_ADDRESS).
#include <QCoreApplication>
#include <QDBusConnection>
#include <chrono>
#include <iostream>
#include <thread>

#include "apply_command.h"
#include "platform/bluez/bluez_transport.h"

namespace tvq {

namespace {

// Neither cable nor receiver: the caller found neither.
class NoLibraries final : public LibraryLoader {
  public:
    std::unique_ptr<LoadedLibrary> load(const std::string&) override { return nullptr; }
};

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
    ToolSession tool(&transport);
    NoLibraries none;
    tool.session.link().start(none, {}, nullptr, true);
    tool.session.link().announceBle();
    return runApply(profile, tool.session, tool.scheduler, [] {
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
