// tvqctl apply: writes a profile file to the attached mouse, through the
// same session and link code as the program.
#pragma once

#include <functional>

#include "base/manual_scheduler.h"
#include "profiles/profile.h"
#include "session/mouse_session.h"

namespace tvq {

// Exit status: 0 every frame accepted (cable, Bluetooth LE) or acknowledged
// (receiver), 1 otherwise, 2 no mouse found.
int applyToMouse(const Profile& profile);

// Sends `profile` through `session`, whose link is up, printing each frame;
// `pump` plays the user-interface thread meanwhile (it runs `scheduler`'s
// tasks and hands the session what the mouse reports). The exit status as
// above.
int runApply(const Profile& profile, MouseSession& session, ManualScheduler& scheduler,
             const std::function<void()>& pump);

// A session for tvqctl: its stores are never loaded, so nothing is ever
// written to the user's data folder.
struct ToolSession {
    explicit ToolSession(BleTransport* ble = nullptr);
    SystemClock clock;
    ManualScheduler scheduler{clock};
    MouseSession session;
};

// The apply over Bluetooth LE through BlueZ; -1 when no mouse is connected
// there.
int applyOverBle(const Profile& profile);

}  // namespace tvq
