// Status reports from the mouse: a 16-bit code and a 16-bit value.
#pragma once

#include <cstdint>

namespace tvq::status {

inline constexpr std::uint16_t kDpiStage = 0x1000;
inline constexpr std::uint16_t kPolling = 0x2000;
inline constexpr std::uint16_t kSaveOnly = 0x3200;
inline constexpr std::uint16_t kHeartbeat = 0x4010;
inline constexpr std::uint16_t kAck = 0x5010;
inline constexpr std::uint16_t kBattery = 0x6000;
inline constexpr std::uint16_t kIgnored = 0x7000;
inline constexpr std::uint16_t kButtonMode = 0x8000;
inline constexpr std::uint16_t kFirstStatusCode = 0x1000;
inline constexpr std::uint16_t kLastStatusCode = 0x9000;

}  // namespace tvq::status
