#include "platform/x11/display_check.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace tvq {
namespace {

std::string_view variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string_view(value) : std::string_view();
}

}  // namespace

DisplayCheck::DisplayCheck() {
    const std::string_view platform = variable("QT_QPA_PLATFORM");
    if (!platform.empty() && !platform.starts_with("xcb")) {
        return;  // offscreen, wayland, vnc: the toolkit's own business
    }
    const std::string_view display = variable("DISPLAY");
    const bool wayland = !variable("WAYLAND_DISPLAY").empty();
    if (display.empty()) {
        if (!wayland) {
            reason_ = "needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set";
        }
        return;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) == 0) {
        held_ = connection;
        return;
    }
    xcb_disconnect(connection);
    if (!wayland) {
        reason_ = "needs a graphical session: the display \"" + std::string(display) +
                  "\" cannot be reached";
    }
}

void DisplayCheck::release() {
    if (held_ != nullptr) {
        xcb_disconnect(held_);
        held_ = nullptr;
    }
}

}  // namespace tvq
