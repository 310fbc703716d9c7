// tvqctl apply: writes a profile file to the attached mouse.
#pragma once

#include <functional>

#include "base/clock.h"
#include "device/link_state.h"
#include "profiles/profile.h"
#include "protocol/send_path.h"

namespace tvq {

// Exit status: 0 every frame accepted (cable) or acknowledged (receiver),
// 1 otherwise, 2 no mouse found.
int applyToMouse(const Profile& profile);

// Runs the apply of `profile` on its own worker over `path`, printing each
// frame; `pump` handles what the mouse reports meanwhile. The exit status
// as above.
int runApply(const Profile& profile, SendPath& path, LinkState& links, SystemClock& clock,
             const std::function<void()>& pump);

// The same over Bluetooth LE through BlueZ; -1 when no mouse is connected
// there.
int applyOverBle(const Profile& profile);

}  // namespace tvq
