// Virtual-key codes for the keys of an X keyboard. Pure numbers (X keysyms
// and evdev key codes), so that the input hook and the keyboard layout share
// one mapping without the core depending on X.
#pragma once

#include <cstdint>
#include <string>

namespace tvq::x11keys {

// X key codes are evdev codes plus 8; for the typing keys the evdev code is
// the set-1 scan code.
inline constexpr std::uint32_t kKeycodeOffset = 8;

// The virtual key of a key, from the keysym on its base level in the current
// layout and its position:
//   1. a Latin letter or a digit on the base level gives that character's code
//      (so on a French layout the key at the US Q position is 0x41);
//   2. other keys with a fixed meaning (Return, Shift, F1, arrows, keypad...)
//      come from a table by keysym;
//   3. anything else (punctuation, letters of other scripts) takes the code of
//      the US key at the same position.
// 0 when the key has none.
std::uint32_t virtualKeyFor(std::uint32_t baseKeysym, std::uint32_t evdevCode);

// The spacing character of a dead key's accent (U+005E for dead_circumflex),
// or 0 when the keysym is no dead key.
char32_t deadKeySpacingForm(std::uint32_t keysym);

}  // namespace tvq::x11keys
