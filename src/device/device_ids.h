// How the mouse is found: its USB and Bluetooth identities, the device-access
// libraries that reach it, and the messages those libraries post.
#pragma once

#include <cstdint>

namespace tvq {

namespace usb {
inline constexpr std::int32_t kVendor = 0x1D57;
inline constexpr std::int32_t kCableProduct = 0xFA61;
inline constexpr std::int32_t kReceiverProduct = 0xFA60;
inline constexpr std::uint16_t kBleVendor = 0x045E;
inline constexpr std::uint16_t kBleProduct = 0x0040;
inline constexpr const char* kBleVendorTag = "VID&02045E";
inline constexpr const char* kBleProductTag = "PID&0040";
}  // namespace usb

// The device-access libraries in the program folder.
namespace paths {
inline constexpr const char* kCableLibrary = "hiddriver_2.so";
inline constexpr const char* kReceiverLibrary = "hiddriver_1.so";
// Points the libraries at tvq-virtual-mouse instead of hidraw.
inline constexpr const char* kVirtualMouseEnvironment = "TVQ_VIRTUAL_MOUSE";
}  // namespace paths

// What the libraries' monitors post: a status report (wParam code, lParam
// value) or an attach event (wParam 1 attached, 0 detached).
namespace msg {
inline constexpr std::uint32_t kReceiverData = 1325;
inline constexpr std::uint32_t kReceiverAttach = 1326;
inline constexpr std::uint32_t kWiredData = 1327;
inline constexpr std::uint32_t kWiredAttach = 1328;
}  // namespace msg

}  // namespace tvq
