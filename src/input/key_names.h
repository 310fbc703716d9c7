// Conversions between virtual keys, HID keyboard usages and key names.
#pragma once

#include <cstdint>
#include <string>

#include "base/text_source.h"
#include "input/keyboard_layout.h"

namespace tvq {

struct HidUsageResult {
    bool found = false;
    std::uint32_t usage = 0;  // 0 when not found
};

// Converts and names keys for the current layout and language. Typing keys
// are identified by their position: on a layout that puts A where the US
// layout has Q, virtual key A converts to the usage of the US Q key.
class KeyNames {
  public:
    KeyNames(const KeyboardLayout& layout, const TextSource& texts)
        : layout_(layout), texts_(texts) {}

    HidUsageResult hidUsageFromVirtualKey(std::uint32_t virtualKey) const;

    // UTF-8 display text: the language text of a named key, else the
    // upper-cased characters the key produces.
    std::string keyNameFromVirtualKey(std::uint32_t virtualKey) const;

    // UTF-8 display text of a HID usage or mouse code; empty when it has none.
    std::string keyNameFromCode(std::uint8_t code) const;

    const KeyboardLayout& layout() const { return layout_; }

  private:
    const KeyboardLayout& layout_;
    const TextSource& texts_;
};

}  // namespace tvq
