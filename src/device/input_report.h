// The status input report that the device-access library decodes into a
// (code, value) data message. Layout (see docs/device-link.md):
//   byte 0     report id 0x0A
//   bytes 1-2  status code, little-endian
//   bytes 3-4  status value, little-endian
// Reports with another id, or shorter than 5 bytes, carry no status.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tvq {

inline constexpr std::uint8_t kStatusReportId = 0x0A;
inline constexpr std::size_t kStatusReportLength = 5;

struct StatusPair {
    std::uint16_t code = 0;
    std::uint16_t value = 0;
    bool operator==(const StatusPair&) const = default;
};

inline std::optional<StatusPair> decodeInputReport(std::span<const std::uint8_t> report) {
    if (report.size() < kStatusReportLength || report[0] != kStatusReportId) {
        return std::nullopt;
    }
    return StatusPair{static_cast<std::uint16_t>(report[1] | (report[2] << 8)),
                      static_cast<std::uint16_t>(report[3] | (report[4] << 8))};
}

inline std::array<std::uint8_t, kStatusReportLength> encodeInputReport(StatusPair s) {
    return {kStatusReportId, static_cast<std::uint8_t>(s.code & 0xFF),
            static_cast<std::uint8_t>(s.code >> 8), static_cast<std::uint8_t>(s.value & 0xFF),
            static_cast<std::uint8_t>(s.value >> 8)};
}

}  // namespace tvq
