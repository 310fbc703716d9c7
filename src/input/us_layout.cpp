#include "input/us_layout.h"

#include <array>
#include <utility>

#include "input/key_tables.h"

namespace tvq {
namespace {

// What the US layout prints on the keys that are neither letters nor digits.
constexpr std::array<std::pair<std::uint32_t, char16_t>, 19> kUsSymbols = {{
    {0x20, u' '}, {0xBA, u';'},  {0xBB, u'='},  {0xBC, u','},  {0xBD, u'-'},
    {0xBE, u'.'}, {0xBF, u'/'},  {0xC0, u'`'},  {0xDB, u'['},  {0xDC, u'\\'},
    {0xDD, u']'}, {0xDE, u'\''}, {0x6A, u'*'},  {0x6B, u'+'},  {0x6D, u'-'},
    {0x6E, u'.'}, {0x6F, u'/'},  {0x0D, u'\r'}, {0x09, u'\t'},
}};

constexpr std::uint32_t kVkA = 0x41, kVkZ = 0x5A, kVk0 = 0x30, kVk9 = 0x39;
constexpr std::uint32_t kVkNumpad0 = 0x60, kVkNumpad9 = 0x69;

}  // namespace

std::uint32_t UsKeyboardLayout::scanCodeFromVirtualKey(std::uint32_t virtualKey) const {
    const auto row = findByVirtualKey(virtualKey);
    return row ? row->scanCode : 0;
}

std::uint32_t UsKeyboardLayout::virtualKeyFromScanCode(std::uint32_t scanCode) const {
    if (scanCode == 0) {
        return 0;
    }
    const auto row = findByScanCode(scanCode);
    return row ? row->virtualKey : 0;
}

std::u16string UsKeyboardLayout::characters(std::uint32_t virtualKey, std::uint32_t) const {
    if (virtualKey >= kVkA && virtualKey <= kVkZ) {
        return std::u16string(1, static_cast<char16_t>(u'a' + (virtualKey - kVkA)));
    }
    if (virtualKey >= kVk0 && virtualKey <= kVk9) {
        return std::u16string(1, static_cast<char16_t>(virtualKey));
    }
    if (virtualKey >= kVkNumpad0 && virtualKey <= kVkNumpad9) {
        return std::u16string(1, static_cast<char16_t>(u'0' + (virtualKey - kVkNumpad0)));
    }
    for (const auto& [vk, ch] : kUsSymbols) {
        if (vk == virtualKey) {
            return std::u16string(1, ch);
        }
    }
    return {};
}

}  // namespace tvq
