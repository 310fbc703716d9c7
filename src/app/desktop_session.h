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

    // Whether the Bluetooth LE mouse is known to the system (hidapi); false
    // without a transport.
    bool probeBle() const;
    // Hands BlueZ's connection events and notifications to the session.
    void watchBle();

    // Stops the links and drops the tasks they left; the libraries post to
    // the main window until this has run.
    void shutdown();

    // 1 when the mouse is there on any link.
    std::int32_t anyConnected() const { return session_.links().anyConnected.load(); }

  private:
    QtScheduler scheduler_;
    std::unique_ptr<BluezTransport> bluez_;
    MouseSession session_;
    SettingsFile settings_;
    SettingsFile::Loaded settingsLoaded_;
};

}  // namespace tvq
