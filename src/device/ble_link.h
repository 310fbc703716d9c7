// The mouse over Bluetooth LE, as the program drives it. BlueZ (or whatever
// carries GATT on the platform) sits behind BleTransport; this class keeps
// the tags that name the mouse, gates every write on them, and turns the
// mouse's notifications into status reports.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/frame_writer.h"
#include "device/input_report.h"
#include "device/presence.h"

namespace tvq {

class BleTransport {
  public:
    virtual ~BleTransport() = default;
    // Writes a frame to the mouse's write characteristic (0xFEE3), trying
    // each matching characteristic and connected device in turn; true on
    // the first that accepts. Called on the device worker.
    virtual bool writeFrame(std::string_view vendorTag, std::string_view productTag,
                            std::span<const std::uint8_t> frame) = 0;
    // Subscribes to the mouse's notify characteristic (0xFEE4); every value
    // then arrives through BleLink::onNotification.
    virtual void subscribe(std::string_view vendorTag, std::string_view productTag) = 0;
    // Ends the subscriptions, so that a mouse that connects again does not
    // deliver every report twice.
    virtual void unsubscribe() {}
};

class BleLink final : public BleControl, public FrameWriter {
  public:
    explicit BleLink(BleTransport* transport) : transport_(transport) {}

    // BleControl (user-interface thread)
    void setTags(std::string_view vendorTag, std::string_view productTag) override;
    void clearTags() override;
    void subscribeNotifications() override;

    // FrameWriter (device worker): 0 at once while the tags are empty.
    std::int32_t write(std::span<const std::uint8_t> frame) override;

    // A notified value: at least 4 bytes give code and value (little-endian);
    // an empty value writes the debug line "datasize 0"; 1 to 3 bytes carry
    // nothing.
    static std::optional<StatusPair> decodeNotification(std::span<const std::uint8_t> value);

  private:
    BleTransport* transport_;
    mutable std::mutex mutex_;  // the tags are set on one thread and read on another
    std::string vendorTag_;
    std::string productTag_;
};

}  // namespace tvq
