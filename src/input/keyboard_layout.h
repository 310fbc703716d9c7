// The user's keyboard layout, as the key-name conversions need it.
#pragma once

#include <cstdint>
#include <string>

namespace tvq {

class KeyboardLayout {
  public:
    virtual ~KeyboardLayout() = default;

    // The set-1 scan code of the key that produces a virtual key; 0 when the
    // layout has none.
    virtual std::uint32_t scanCodeFromVirtualKey(std::uint32_t virtualKey) const = 0;

    // The virtual key that a scan code produces (left and right modifiers
    // kept apart); 0 when none.
    virtual std::uint32_t virtualKeyFromScanCode(std::uint32_t scanCode) const = 0;

    // The characters the key produces with no modifier held (for a dead key,
    // the spacing form of its accent); empty when it produces none.
    virtual std::u16string characters(std::uint32_t virtualKey, std::uint32_t scanCode) const = 0;
};

}  // namespace tvq
