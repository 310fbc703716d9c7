// Whether the program has a graphical session to show its windows in,
// checked before the toolkit starts (which would abort without one).
#pragma once

#include <string>

namespace tvq {

// Empty when a display can be reached (or the toolkit was told to use a
// platform of its own, such as offscreen); otherwise one line saying why.
std::string missingDisplayReason();

}  // namespace tvq
