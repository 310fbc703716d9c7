// Whether a D-Bus server speaks at all. A session bus that takes connections
// and never answers would hold the toolkit's first bus call (its
// accessibility bridge connects while the first window is built) for the
// library's default 25 s, again at each later attempt: the program asks
// first, with a short deadline, and runs without the bus when it is silent.
#pragma once

#include <chrono>
#include <string>

namespace tvq {

// How long the session bus has to answer at start.
inline constexpr std::chrono::milliseconds kBusAnswerLimit{2000};

// True when one of the "unix:" addresses in `address` (a D-Bus address list,
// as in DBUS_SESSION_BUS_ADDRESS) takes a connection but says nothing to a
// client's first words (the authentication it must answer) within `limit`.
// False when a server answers, when none can be reached (the library then
// fails at once by itself) and for transports this does not know.
bool busIsSilent(const std::string& address, std::chrono::milliseconds limit);

// What DBUS_SESSION_BUS_ADDRESS is set to so that every later connection
// fails at once instead of waiting on a silent bus.
inline constexpr const char* kNoBusAddress = "disabled:";

}  // namespace tvq
