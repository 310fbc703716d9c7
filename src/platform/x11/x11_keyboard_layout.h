// The keyboard layout of the X server, for naming keys and converting them.
// Without an X server it answers as the US layout.
#pragma once

#include <memory>
#include <string>

#include "input/keyboard_layout.h"
#include "input/us_layout.h"

struct xcb_connection_t;

namespace tvq {

class XkbKeymap;

class X11KeyboardLayout final : public KeyboardLayout {
  public:
    // Connects to the display named by DISPLAY (or `display` when given)
    // when first asked, so that a window's first frame does not wait for the
    // keyboard map.
    explicit X11KeyboardLayout(const char* display = nullptr);
    ~X11KeyboardLayout() override;

    bool connected() const;

    std::uint32_t scanCodeFromVirtualKey(std::uint32_t virtualKey) const override;
    std::uint32_t virtualKeyFromScanCode(std::uint32_t scanCode) const override;
    std::u16string characters(std::uint32_t virtualKey, std::uint32_t scanCode) const override;

  private:
    void open() const;
    // Reads the map again when the server announced a change.
    void follow() const;

    std::string display_;
    mutable bool opened_ = false;
    mutable xcb_connection_t* connection_ = nullptr;
    mutable std::unique_ptr<XkbKeymap> keymap_;
    UsKeyboardLayout fallback_;
};

}  // namespace tvq
