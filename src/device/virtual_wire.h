// The packets between the device-access library and tvq-virtual-mouse, over
// a local sequenced-packet socket (one packet per message). Each library
// copy opens one connection for its monitor and one for its feature channel.
//
//   library -> mouse
//     'M' vid(2) pid(2)      watch this device: attach and input packets follow
//     'O' vid(2) pid(2)      open the feature channel; answered by 'R'
//     'F' frame bytes        one feature report; answered by 'R'
//   mouse -> library
//     'R' result(1)          1 accepted / present, 0 refused / absent
//     'A' state(1)           1 the device arrived, 0 it left
//     'I' report bytes       one input report (see input_report.h)
// Integers are little-endian.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tvq::wire {

inline constexpr std::uint8_t kMonitor = 'M';
inline constexpr std::uint8_t kOpen = 'O';
inline constexpr std::uint8_t kFeature = 'F';
inline constexpr std::uint8_t kResult = 'R';
inline constexpr std::uint8_t kAttach = 'A';
inline constexpr std::uint8_t kInput = 'I';
inline constexpr std::size_t kMaxPacket = 512;

inline std::vector<std::uint8_t> packet(std::uint8_t type,
                                        std::span<const std::uint8_t> body = {}) {
    std::vector<std::uint8_t> p;
    p.reserve(1 + body.size());
    p.push_back(type);
    p.insert(p.end(), body.begin(), body.end());
    return p;
}

inline std::vector<std::uint8_t> devicePacket(std::uint8_t type, std::int32_t vid,
                                              std::int32_t pid) {
    const std::uint8_t body[4] = {
        static_cast<std::uint8_t>(vid & 0xFF), static_cast<std::uint8_t>((vid >> 8) & 0xFF),
        static_cast<std::uint8_t>(pid & 0xFF), static_cast<std::uint8_t>((pid >> 8) & 0xFF)};
    return packet(type, body);
}

struct DeviceId {
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
};

inline std::optional<DeviceId> parseDevice(std::span<const std::uint8_t> p) {
    if (p.size() != 5) {
        return std::nullopt;
    }
    return DeviceId{static_cast<std::uint16_t>(p[1] | (p[2] << 8)),
                    static_cast<std::uint16_t>(p[3] | (p[4] << 8))};
}

}  // namespace tvq::wire
