// The macro record, identical in memory, in "macro.data" and in a ".macro"
// file. Offsets are byte offsets from the start of the record; every
// multi-byte value is little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tvq {

namespace layout {

// One macro: identical in memory, in "macro.data" and in a ".macro" file.
namespace macro {
inline constexpr std::size_t kSize = 240;
inline constexpr std::size_t kName = 0;  // UTF-16LE
inline constexpr std::size_t kNameUnits = 24;
inline constexpr std::size_t kNameMaxChars = kNameUnits - 1;
inline constexpr std::size_t kReserved = 48;
inline constexpr std::size_t kActionCount = 52;  // int32, 0..46
inline constexpr std::size_t kActions = 56;
inline constexpr std::size_t kMaxActions = 46;

// One action of a macro.
inline constexpr std::size_t kActionSize = 4;
inline constexpr std::size_t kActionCode = 0;
inline constexpr std::size_t kActionType = 1;
inline constexpr std::size_t kActionDelay = 2;  // uint16, ms
inline constexpr std::uint8_t kPress = 1;
inline constexpr std::uint8_t kRelease = 2;

// Mouse button codes; every other code is a HID keyboard usage.
inline constexpr std::uint8_t kLeftButton = 0xF1;
inline constexpr std::uint8_t kRightButton = 0xF2;
inline constexpr std::uint8_t kMiddleButton = 0xF3;
inline constexpr std::uint8_t kBackwardButton = 0xF4;
inline constexpr std::uint8_t kForwardButton = 0xF5;

// The weighted length counts an action twice when its delay exceeds this.
inline constexpr std::uint16_t kLongDelayMs = 1280;
// A macro is committed only while its weighted length stays below this.
inline constexpr int kRefusedWeightedLength = 48;
}  // namespace macro

}  // namespace layout
}  // namespace tvq
