// The device-access libraries' messages, decoded. A status report and an
// attach event are different messages and stay apart: a status code never
// reads as an attach, whatever its value.
#pragma once

#include <cstdint>
#include <optional>

#include "device/device_ids.h"

namespace tvq {

enum class DeviceLink { kCable, kReceiver };

struct DeviceMessage {
    enum class Kind { kStatus, kAttached, kDetached };
    Kind kind = Kind::kStatus;
    DeviceLink link = DeviceLink::kCable;
    std::uint16_t code = 0;   // kStatus
    std::uint16_t value = 0;  // kStatus
    bool operator==(const DeviceMessage&) const = default;
};

// Null for a message that is not one of the four, and for an attach event
// whose wParam is neither 1 (attached) nor 0 (detached). A status report
// keeps the low 16 bits of wParam (code) and lParam (value).
constexpr std::optional<DeviceMessage> decodeDeviceMessage(std::uint32_t message,
                                                           std::uintptr_t wParam,
                                                           std::intptr_t lParam) {
    using Kind = DeviceMessage::Kind;
    const auto status = [&](DeviceLink link) {
        return DeviceMessage{
            Kind::kStatus, link, static_cast<std::uint16_t>(wParam & 0xFFFF),
            static_cast<std::uint16_t>(static_cast<std::uintptr_t>(lParam) & 0xFFFF)};
    };
    const auto attach = [&](DeviceLink link) -> std::optional<DeviceMessage> {
        if (wParam == 1) {
            return DeviceMessage{Kind::kAttached, link};
        }
        if (wParam == 0) {
            return DeviceMessage{Kind::kDetached, link};
        }
        return std::nullopt;
    };
    switch (message) {
        case msg::kWiredData:
            return status(DeviceLink::kCable);
        case msg::kReceiverData:
            return status(DeviceLink::kReceiver);
        case msg::kWiredAttach:
            return attach(DeviceLink::kCable);
        case msg::kReceiverAttach:
            return attach(DeviceLink::kReceiver);
        default:
            return std::nullopt;
    }
}

}  // namespace tvq
