// The US keyboard layout, built from the key table: the fallback when the
// desktop cannot tell the user's layout.
#pragma once

#include "input/keyboard_layout.h"

namespace tvq {

class UsKeyboardLayout final : public KeyboardLayout {
  public:
    std::uint32_t scanCodeFromVirtualKey(std::uint32_t virtualKey) const override;
    std::uint32_t virtualKeyFromScanCode(std::uint32_t scanCode) const override;
    std::u16string characters(std::uint32_t virtualKey, std::uint32_t scanCode) const override;
};

}  // namespace tvq
