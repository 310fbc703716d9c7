// tvqctl apply: writes a profile file to the attached mouse.
#pragma once

#include "profiles/profile.h"

namespace tvq {

// Exit status: 0 every frame accepted (cable) or acknowledged (receiver),
// 1 otherwise, 2 no mouse found.
int applyToMouse(const Profile& profile);

}  // namespace tvq
