#include "app/desktop_session.h"

#include "platform/bluez/ble_probe.h"

namespace tvq {

DesktopSession::DesktopSession(const DataLocation& location, const TextSource& texts,
                               std::unique_ptr<BluezTransport> bluez)
    : bluez_(std::move(bluez)),
      session_(location, texts, scheduler_, bluez_.get()),
      settings_(location.fileSystem(), settingsFilePath(location.environment())),
      settingsLoaded_(settings_.load()) {}

DesktopSession::~DesktopSession() {
    shutdown();
}

ProfileStore::LoadReport DesktopSession::start(LibraryLoader& loader,
                                               const std::string& programFolder,
                                               MessageWindow* libraryWindow) {
    // The probe's findings reach whoever follows the links as link changes.
    session_.link().start(loader, programFolder, libraryWindow, probeBle());
    watchBle();
    const ProfileStore::LoadReport report = session_.load();
    // Again, now that there is a profile to show the links' sections with.
    session_.link().announceBle();
    return report;
}

bool DesktopSession::probeBle() const {
    return bluez_ && hidBleMousePresent();
}

void DesktopSession::watchBle() {
    if (!bluez_) {
        return;
    }
    bluez_->setEvents({
        .connection = [this](bool connected) { session_.link().onBleConnection(connected); },
        .notification =
            [this](const std::vector<std::uint8_t>& value) {
                session_.link().onBleNotification(value);
            },
    });
    bluez_->watch();
}

void DesktopSession::shutdown() {
    session_.shutdown();
    scheduler_.dropPending();
}

}  // namespace tvq
