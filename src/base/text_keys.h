// Text keys the core asks the language resource for.
#pragma once

namespace tvq::textkeys {

inline constexpr const char* kAddProfile = "add_profile_text";
inline constexpr const char* kAddMacro = "add_macro_text";
inline constexpr const char* kCharging = "charging_text";
inline constexpr const char* kSleepTimerBefore = "sleep_timer_1_text";
inline constexpr const char* kSleepTimerAfter = "sleep_timer_2_text";
// Numbers as the language writes them.
inline constexpr const char* kDecimalSeparator = "decimal_separator_text";
inline constexpr const char* kPercent = "percent_text";

}  // namespace tvq::textkeys
