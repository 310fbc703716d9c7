// SendReport: the one place that decides which link carries a frame, how a
// macro frame is cut for the cable, how long to wait after a frame, and how
// often a receiver frame is repeated until the mouse acknowledges it.
#pragma once

#include <cstdint>
#include <span>

#include "base/clock.h"
#include "device/frame_writer.h"
#include "device/link_events.h"
#include "device/link_state.h"

namespace tvq {

// How long each link is given after a frame.
namespace wait {
inline constexpr int kCableMs = 200;
inline constexpr int kReceiverMs = 700;
inline constexpr int kReceiverWrites = 10;
inline constexpr int kBleMs = 500;
}  // namespace wait

class SendPath {
  public:
    // Links may be null (not available). Runs on the device worker.
    SendPath(LinkState& links, Clock& clock, FrameWriter* cable, FrameWriter* receiver,
             FrameWriter* ble)
        : links_(links), clock_(clock), cable_(cable), receiver_(receiver), ble_(ble) {}

    // Writes one frame; `frame.size()` is its length (byte 1). Returns the
    // result of the last transport call, or 0 when none was made.
    std::int32_t sendReport(std::span<const std::uint8_t> frame, SendOutcome* outcome = nullptr);

  private:
    std::int32_t sendByCable(std::span<const std::uint8_t> frame, SendOutcome& outcome,
                             bool& fallThrough);
    std::int32_t sendByReceiver(std::span<const std::uint8_t> frame, SendOutcome& outcome);

    LinkState& links_;
    Clock& clock_;
    FrameWriter* cable_;
    FrameWriter* receiver_;
    FrameWriter* ble_;
};

}  // namespace tvq
