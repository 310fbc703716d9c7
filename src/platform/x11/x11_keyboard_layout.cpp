#include "platform/x11/x11_keyboard_layout.h"

#include <xcb/xcb.h>

#include <cstdlib>

#include "input/x11_virtual_keys.h"
#include "platform/x11/xkb_keymap.h"

namespace tvq {

X11KeyboardLayout::X11KeyboardLayout(const char* display) {
    const char* name = display != nullptr ? display : std::getenv("DISPLAY");
    if (name != nullptr) {
        display_ = name;
    }
}

void X11KeyboardLayout::open() const {
    opened_ = true;
    if (display_.empty()) {
        return;
    }
    connection_ = xcb_connect(display_.c_str(), nullptr);
    if (xcb_connection_has_error(connection_) != 0) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        return;
    }
    keymap_ = std::make_unique<XkbKeymap>(connection_);
    if (!keymap_->valid()) {
        keymap_.reset();
    }
}

X11KeyboardLayout::~X11KeyboardLayout() {
    keymap_.reset();
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

bool X11KeyboardLayout::connected() const {
    if (!opened_) {
        open();
    }
    return keymap_ != nullptr;
}

void X11KeyboardLayout::follow() const {
    bool changed = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        changed = true;  // only layout events and mapping notices come here
        std::free(event);
    }
    if (changed) {
        keymap_->refresh();
    }
}

std::uint32_t X11KeyboardLayout::scanCodeFromVirtualKey(std::uint32_t virtualKey) const {
    if (!connected()) {
        return fallback_.scanCodeFromVirtualKey(virtualKey);
    }
    follow();
    const std::uint32_t keycode = keymap_->keycodeOf(virtualKey);
    return keycode >= x11keys::kKeycodeOffset ? keycode - x11keys::kKeycodeOffset : 0;
}

std::uint32_t X11KeyboardLayout::virtualKeyFromScanCode(std::uint32_t scanCode) const {
    if (!connected()) {
        return fallback_.virtualKeyFromScanCode(scanCode);
    }
    if (scanCode == 0) {
        return 0;
    }
    follow();
    return keymap_->virtualKey(scanCode + x11keys::kKeycodeOffset);
}

std::u16string X11KeyboardLayout::characters(std::uint32_t virtualKey,
                                             std::uint32_t scanCode) const {
    if (!connected()) {
        return fallback_.characters(virtualKey, scanCode);
    }
    follow();
    const std::uint32_t keycode =
        scanCode != 0 ? scanCode + x11keys::kKeycodeOffset : keymap_->keycodeOf(virtualKey);
    return keycode != 0 ? keymap_->characters(keycode) : std::u16string{};
}

}  // namespace tvq
