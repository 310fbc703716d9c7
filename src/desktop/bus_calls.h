// Calls the program makes to the desktop's services on the session bus. None
// waits for an answer; each has a deadline, so a service that never answers
// costs a feature, never the start.
#pragma once

namespace tvq {

inline constexpr int kDesktopCallTimeoutMs = 2000;

}  // namespace tvq
