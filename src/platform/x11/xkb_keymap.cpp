#include "platform/x11/xkb_keymap.h"

// xcb/xkb.h names a field "explicit", which is a C++ keyword.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include "base/text.h"
#include "input/x11_virtual_keys.h"

namespace tvq {

XkbKeymap::XkbKeymap(xcb_connection_t* connection) : connection_(connection) {
    std::uint8_t base = 0;
    if (connection_ == nullptr ||
        xkb_x11_setup_xkb_extension(
            connection_, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &base, nullptr) == 0) {
        return;
    }
    device_ = xkb_x11_get_core_keyboard_device_id(connection_);
    context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (device_ < 0 || context_ == nullptr) {
        return;
    }
    const std::uint16_t events = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY |
                                 XCB_XKB_EVENT_TYPE_MAP_NOTIFY | XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
    xcb_xkb_select_events(connection_, static_cast<xcb_xkb_device_spec_t>(device_), events, 0,
                          events, 0xFFFF, 0xFFFF, nullptr);
    xcb_flush(connection_);
    refresh();
}

XkbKeymap::~XkbKeymap() {
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

void XkbKeymap::refresh() {
    if (context_ == nullptr || device_ < 0) {
        return;
    }
    xkb_keymap* keymap =
        xkb_x11_keymap_new_from_device(context_, connection_, device_, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap == nullptr) {
        return;  // keep the map we have
    }
    xkb_state* state = xkb_x11_state_new_from_device(keymap, connection_, device_);
    if (state == nullptr) {
        xkb_keymap_unref(keymap);
        return;
    }
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    state_ = state;
    layout_ = xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE);
}

std::uint32_t XkbKeymap::baseKeysym(std::uint32_t keycode) const {
    if (keymap_ == nullptr) {
        return 0;
    }
    const xkb_keysym_t* syms = nullptr;
    const int n = xkb_keymap_key_get_syms_by_level(keymap_, keycode, layout_, 0, &syms);
    return n > 0 ? syms[0] : 0;
}

std::uint32_t XkbKeymap::virtualKey(std::uint32_t keycode) const {
    if (keycode < x11keys::kKeycodeOffset) {
        return 0;
    }
    return x11keys::virtualKeyFor(baseKeysym(keycode), keycode - x11keys::kKeycodeOffset);
}

std::uint32_t XkbKeymap::keycodeOf(std::uint32_t virtualKey) const {
    if (keymap_ == nullptr || virtualKey == 0) {
        return 0;
    }
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap_);
    for (xkb_keycode_t k = xkb_keymap_min_keycode(keymap_); k <= last; ++k) {
        if (this->virtualKey(k) == virtualKey) {
            return k;
        }
    }
    return 0;
}

std::u16string XkbKeymap::characters(std::uint32_t keycode) const {
    const std::uint32_t sym = baseKeysym(keycode);
    char32_t c = x11keys::deadKeySpacingForm(sym);
    if (c == 0) {
        c = xkb_keysym_to_utf32(sym);
    }
    if (c == 0 || c < 0x20 || c == 0x7F) {
        return {};  // nothing printable
    }
    std::u16string text;
    appendUtf16(text, c);
    return text;
}

}  // namespace tvq
