// The program's mouse session with what it needs on the desktop: the Qt
// scheduler and the Bluetooth LE transport through BlueZ. The main window is
// given it; every other window reaches the stores through `session()`.
#pragma once

#include <memory>

#include "platform/bluez/bluez_transport.h"
#include "platform/settings_file.h"
#include "session/mouse_session.h"
#include "toolkit/qt_scheduler.h"

namespace tvq {

class DesktopSession final {
  public:
    // Without `bluez` there is no Bluetooth LE link. The program's own
    // settings are read from the file the location's environment names.
    DesktopSession(const DataLocation& location, const TextSource& texts,
                   std::unique_ptr<BluezTransport> bluez = nullptr);
    ~DesktopSession();

    MouseSession& session() { return session_; }
    // The program's own settings, and how their file was found at start.
    SettingsFile& settings() { return settings_; }
    SettingsFile::Loaded settingsLoaded() const { return settingsLoaded_; }

    // Starts the mouse's links (the device-access libraries from
    // `programFolder`, posting to `libraryWindow`) and Bluetooth LE, reads
    // the stores, and tells the links' state again for those that follow it
    // from now on. What the tray, the notifications, the session bus and the
    // page show comes from here. Once; the report says what the read found.
    ProfileStore::LoadReport start(LibraryLoader& loader, const std::string& programFolder,
                                   MessageWindow* libraryWindow);

    // Stops the links and drops the tasks they left; the libraries post to
    // the main window until this has run.
    void shutdown();

  private:
    // Whether the Bluetooth LE mouse is known to the system (hidapi); false
    // without a transport.
    bool probeBle() const;
    // Hands BlueZ's connection events and notifications to the session.
    void watchBle();

    QtScheduler scheduler_;
    std::unique_ptr<BluezTransport> bluez_;
    MouseSession session_;
    SettingsFile settings_;
    SettingsFile::Loaded settingsLoaded_;
};

}  // namespace tvq
