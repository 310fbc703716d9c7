// The loop-count field of the macro picker: only digits may be typed, and
// the count taken when the field is left lies in 1..255.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvq {

// A macro binding as the macro picker edits it.
struct MacroChoice {
    std::int32_t index = -1;  // position in the macro store; -1 none
    std::int32_t repeatMode = 0;
    std::int32_t loopCount = 1;  // 1..255
};

inline constexpr std::int32_t kMinLoopCount = 1;
inline constexpr std::int32_t kMaxLoopCount = 255;
inline constexpr std::int32_t kLastRepeatMode = 2;  // repeat modes 0..2

// `text` without every character that is not a digit 0 to 9.
std::u16string digitsOnly(std::u16string_view text);

// The loop count a field's text stands for: its leading decimal number
// (optional sign; nothing or a value of 0 or less gives 1), at most 255.
std::int32_t loopCountFromText(std::u16string_view text);

}  // namespace tvq
