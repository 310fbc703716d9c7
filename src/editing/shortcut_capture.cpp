#include "editing/shortcut_capture.h"

#include "profiles/record_layout.h"

namespace tvq {

void ShortcutCapture::reset(std::uint8_t modifiers, std::uint8_t key) {
    modifiers_ = modifiers & layout::binding::kModifierBits;
    key_ = key;
    held_ = 0;
}

std::uint8_t ShortcutCapture::modifierBit(std::uint32_t virtualKey) {
    namespace b = layout::binding;
    switch (virtualKey) {
        case 0x11:  // Control
        case 0xA2:
        case 0xA3:
            return b::kModCtrl;
        case 0x10:  // Shift
        case 0xA0:
        case 0xA1:
            return b::kModShift;
        case 0x12:  // Alt (Menu)
        case 0xA4:
        case 0xA5:
            return b::kModAlt;
        case 0x5B:  // left and right Windows
        case 0x5C:
            return b::kModWin;
        default:
            return 0;
    }
}

void ShortcutCapture::setModifier(std::uint8_t bit, bool on) {
    modifiers_ = static_cast<std::uint8_t>(on ? (modifiers_ | bit) : (modifiers_ & ~bit));
}

bool ShortcutCapture::worksTheDialog(std::uint32_t virtualKey) {
    return virtualKey == 0x0D || virtualKey == 0x09 || virtualKey == 0x1B;
}

bool ShortcutCapture::feed(std::uint32_t virtualKey, bool down) {
    if (worksTheDialog(virtualKey)) {
        return false;
    }
    const std::uint8_t bit = modifierBit(virtualKey);
    if (!down) {
        held_ = static_cast<std::uint8_t>(held_ & ~bit);
        return false;
    }
    const std::uint8_t before = key_;
    const std::uint8_t modifiersBefore = modifiers_;
    // A key with no row in the key table stores 0.
    key_ = static_cast<std::uint8_t>(keys_.hidUsageFromVirtualKey(virtualKey).usage & 0xFF);
    if (bit != 0) {
        held_ = static_cast<std::uint8_t>(held_ | bit);
    } else {
        modifiers_ = static_cast<std::uint8_t>(modifiers_ | held_);
    }
    return key_ != before || modifiers_ != modifiersBefore;
}

}  // namespace tvq
