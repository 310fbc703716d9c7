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
// A receiver write is repeated this often until the mouse acknowledges it,
// at most kReceiverWrites times; at the fixed pace every write is followed
// by this whole wait.
inline constexpr int kReceiverMs = 700;
inline constexpr int kReceiverWrites = 10;
// The soonest the mouse can acknowledge a receiver write: the frame crosses
// the 2.4 GHz link at the mouse's next polling interval and the answer comes
// back at the one after (1 ms each at the fastest rate), then the receiver's
// next USB interrupt. An acknowledgement sooner than this answers an earlier
// write and is not counted.
inline constexpr int kReceiverMinAnswerMs = 2;
// After an acknowledgement, before the next frame. The mouse repeats an
// acknowledgement a few milliseconds after the first at most; waiting this
// long lets the repeat arrive before the next write clears the flag, so that
// it is never counted for the next frame. It also gives the mouse a moment
// between frames.
inline constexpr int kReceiverSettleMs = 20;
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
    //
    // Through the receiver each write waits for its acknowledgement, up to
    // kReceiverMs, and the next frame follows kReceiverSettleMs after it.
    // Once a frame has needed a second write on a connection (the mouse did
    // not keep up, or its answer was lost), the rest of that connection
    // goes at the fixed pace: every write waits kReceiverMs whole.
    std::int32_t sendReport(std::span<const std::uint8_t> frame, SendOutcome* outcome = nullptr);

    // Whether some link could carry a frame now.
    bool reachable() const;
    // Whether the waits were ended for good (the program ends): no frame
    // is to go out any more, since it could not be given its wait.
    bool stopped() const { return clock_.cancelled(); }
    // Whether the link that would carry `frame` now takes frames of its
    // kind: Bluetooth LE takes no polling frames.
    bool carries(std::span<const std::uint8_t> frame) const;
    // Whether a link that takes polling frames (cable, receiver) is up.
    bool carriesPolling() const;
    // Whether receiver writes go at the fixed pace on this connection.
    bool receiverAtFixedPace() const;

  private:
    std::int32_t sendByCable(std::span<const std::uint8_t> frame, SendOutcome& outcome,
                             bool& fallThrough);
    std::int32_t sendByReceiver(std::span<const std::uint8_t> frame, SendOutcome& outcome);
    // Waits until the write made at `writtenAt` is acknowledged, or until
    // kReceiverMs after it.
    bool awaitAcknowledgement(std::int64_t writtenAt);

    LinkState& links_;
    Clock& clock_;
    FrameWriter* cable_;
    FrameWriter* receiver_;
    FrameWriter* ble_;
    // The connection (LinkState::connectionEpoch) on which receiver writes
    // fell back to the fixed pace, if any.
    bool fixedPace_ = false;
    std::uint32_t fixedPaceEpoch_ = 0;
};

}  // namespace tvq
