// The X server's current keyboard map, read with xkbcommon-x11: the keysym
// on each key's base level in the current layout group, the virtual key of a
// key and the characters it produces.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <string>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace tvq {

class XkbKeymap {
  public:
    // Sets up the XKB extension on `connection` and asks for the events that
    // announce a new map or another layout group. `valid()` is false when the
    // server has no XKB.
    explicit XkbKeymap(xcb_connection_t* connection);
    ~XkbKeymap();
    XkbKeymap(const XkbKeymap&) = delete;
    XkbKeymap& operator=(const XkbKeymap&) = delete;

    bool valid() const { return keymap_ != nullptr; }

    // Reads the map and the layout group again.
    void refresh();

    std::uint32_t baseKeysym(std::uint32_t keycode) const;
    std::uint32_t virtualKey(std::uint32_t keycode) const;
    // The first key code whose virtual key is `virtualKey`; 0 when none.
    std::uint32_t keycodeOf(std::uint32_t virtualKey) const;
    // What the key types with no modifier held; a dead key gives its accent.
    std::u16string characters(std::uint32_t keycode) const;

  private:
    xcb_connection_t* connection_;
    std::int32_t device_ = -1;
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    std::uint32_t layout_ = 0;
};

}  // namespace tvq
