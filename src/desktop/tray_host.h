// Whether the desktop's tray host answers. The toolkit asks the
// StatusNotifierWatcher with calls that block when a tray icon is made or
// looked for; one that never answers would freeze the window for 25 s. So
// the program asks first, without blocking, and goes without a tray icon
// when the watcher is silent.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

namespace tvq {

class TrayHostCheck {
  public:
    static constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* kWatcherPath = "/StatusNotifierWatcher";

    // Calls `answered` once, from the event loop, while `context` lives:
    // false when a watcher is registered on `bus` and does not answer within
    // the desktop call deadline; true otherwise (a tray may then be had the
    // toolkit's way, through the watcher or the X11 tray).
    static void ask(const QDBusConnection& bus, QObject* context,
                    std::function<void(bool usable)> answered);
};

}  // namespace tvq
