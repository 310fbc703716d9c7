// The main window's messages and timers. The numbers are the ones the
// run-time libraries and a second program copy post, so they stay fixed.
#pragma once

#include <cstdint>

namespace tvq {

namespace msg {
inline constexpr std::uint32_t kQuit = 0x0012;
inline constexpr std::uint32_t kTrayNotify = 1025;
inline constexpr std::uint32_t kMenuClick = 1027;
inline constexpr std::uint32_t kHookInput = 1034;
inline constexpr std::uint32_t kShowMainWindow = 1037;
inline constexpr std::uint32_t kConnectionChanged = 1128;
inline constexpr std::uint32_t kDpiStageReported = 1129;
inline constexpr std::uint32_t kApplyRequest = 1329;
}  // namespace msg

namespace timer {
inline constexpr int kApplyDebounce = 43;
inline constexpr int kDpiDisplay = 52;
}  // namespace timer

}  // namespace tvq
