// Whether the program has a graphical session to show its windows in,
// checked before the toolkit starts (which would abort without one).
#pragma once

#include <string>

namespace tvq {

// Empty when a display can be reached (or the toolkit was told to use a
// platform of its own, such as offscreen); otherwise one line saying why.
// A display that was reached stays connected until releaseDisplayCheck(),
// which the program calls once the toolkit has connected.
std::string missingDisplayReason();
void releaseDisplayCheck();

}  // namespace tvq
