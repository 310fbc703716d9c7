#include "platform/x11/display_check.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace tvq {
namespace {

// The checking connection, held until the toolkit has its own: a server
// that resets when its last client leaves (Xvfb does) would otherwise be
// restarting just as the toolkit connects.
xcb_connection_t* held = nullptr;

std::string_view variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string_view(value) : std::string_view();
}

}  // namespace

std::string missingDisplayReason() {
    const std::string_view platform = variable("QT_QPA_PLATFORM");
    if (!platform.empty() && !platform.starts_with("xcb")) {
        return {};  // offscreen, wayland, vnc: the toolkit's own business
    }
    const std::string_view display = variable("DISPLAY");
    const bool wayland = !variable("WAYLAND_DISPLAY").empty();
    if (display.empty()) {
        return wayland ? std::string()
                       : "needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set";
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    if (reached) {
        releaseDisplayCheck();
        held = connection;
    } else {
        xcb_disconnect(connection);
    }
    if (reached || wayland) {
        return {};
    }
    return "needs a graphical session: the display \"" + std::string(display) +
           "\" cannot be reached";
}

void releaseDisplayCheck() {
    if (held != nullptr) {
        xcb_disconnect(held);
        held = nullptr;
    }
}

}  // namespace tvq
