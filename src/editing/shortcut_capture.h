// A keyboard shortcut taken from pressed keys: each key pressed becomes the
// shortcut's key (as a HID usage); a key that is not a modifier also adds
// the modifiers held with it to those chosen (a modifier chosen in the
// dialog stays chosen when a key comes without it). Releases only end a
// modifier's hold, so pressing Ctrl+Alt+A gives Ctrl, Alt and A whatever the
// order of release. Enter, Tab and Escape work the dialog and are never
// taken from the keyboard; they are chosen by name (setKey).
#pragma once

#include <cstdint>

#include "input/key_names.h"

namespace tvq {

// A keyboard shortcut as the shortcut dialog edits it.
struct ShortcutChoice {
    std::uint8_t modifiers = 0;  // layout::binding::kMod* bits
    std::uint8_t key = 0;        // HID keyboard usage; 0 none
};

class ShortcutCapture {
  public:
    explicit ShortcutCapture(const KeyNames& keys) : keys_(keys) {}

    // Starting values: modifier bits (Ctrl 1, Shift 2, Alt 4, Windows 8) and
    // the key's HID usage.
    void reset(std::uint8_t modifiers, std::uint8_t key);

    // One key report: its virtual-key code, down or up. True when the key or
    // the modifiers changed.
    bool feed(std::uint32_t virtualKey, bool down);

    std::uint8_t modifiers() const { return modifiers_; }
    std::uint8_t key() const { return key_; }
    void setModifier(std::uint8_t bit, bool on);
    // The key chosen by name (HID usage), for the keys the dialog keeps.
    void setKey(std::uint8_t usage) { key_ = usage; }

    // Whether a key works the dialog rather than being taken: Enter, Tab,
    // Escape (virtual-key codes).
    static bool worksTheDialog(std::uint32_t virtualKey);
    // Those keys' HID usages, for choosing them by name.
    static constexpr std::uint8_t kDialogKeyUsages[] = {0x28, 0x2B, 0x29};  // Enter, Tab, Escape

    // The modifier bit of a virtual key (either side); 0 for other keys.
    static std::uint8_t modifierBit(std::uint32_t virtualKey);

  private:
    const KeyNames& keys_;
    std::uint8_t modifiers_ = 0;
    std::uint8_t held_ = 0;
    std::uint8_t key_ = 0;
};

}  // namespace tvq
