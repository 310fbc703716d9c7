#include "protocol/send_path.h"

#include <string>

#include "base/debug.h"
#include "protocol/frames.h"
#include "protocol/report_layout.h"
#include "protocol/send_path.h"

namespace tvq {

std::int32_t SendPath::sendByCable(std::span<const std::uint8_t> frame, SendOutcome& outcome,
                                   bool& fallThrough) {
    fallThrough = false;
    if (frame[report::kId] != report::kMacro) {
        const std::int32_t result = cable_->write(frame);
        if (result != 0) {
            clock_.sleepFor(wait::kCableMs);
        }
        outcome = result != 0 ? SendOutcome::kAccepted : SendOutcome::kRefused;
        return result;
    }
    std::int32_t result = 0;
    bool whole = true;
    for (const auto& chunk : macroChunks(frame)) {
        result = cable_->write(chunk);
        if (result != 0) {
            clock_.sleepFor(wait::kCableMs);
        }
        whole = whole && result != 0;
    }
    if (result != 0) {
        // Taken only when the library accepted all three chunks.
        outcome = whole ? SendOutcome::kAccepted : SendOutcome::kRefused;
        return result;
    }
    // The last chunk was refused: the whole frame tries the other links.
    fallThrough = true;
    return 0;
}

std::int32_t SendPath::sendByReceiver(std::span<const std::uint8_t> frame, SendOutcome& outcome) {
    links_.ackReceived.store(0);
    std::int32_t result = 0;
    for (int attempt = 0; attempt < wait::kReceiverWrites; ++attempt) {
        result = receiver_->write(frame);
        debug::write("Wireless Send = " + std::to_string(result));
        const bool waited = clock_.sleepFor(wait::kReceiverMs);
        if (links_.ackReceived.load() != 0) {
            outcome = SendOutcome::kAcknowledged;
            return result;
        }
        // A receiver pulled out, or a shutdown, ends the repetition early.
        if (!waited || !links_.receiver()) {
            break;
        }
    }
    outcome = SendOutcome::kUnacknowledged;
    return result;
}

std::int32_t SendPath::sendReport(std::span<const std::uint8_t> frame, SendOutcome* outcome) {
    SendOutcome local = SendOutcome::kNoLink;
    SendOutcome& out = outcome != nullptr ? *outcome : local;
    out = SendOutcome::kNoLink;
    if (frame.size() <= report::kSelector) {
        return 0;
    }
    if (links_.wired() && cable_ != nullptr) {
        bool fallThrough = false;
        const std::int32_t result = sendByCable(frame, out, fallThrough);
        if (!fallThrough) {
            return result;
        }
        out = SendOutcome::kRefused;  // unless another link takes the frame
    }
    if (links_.receiver() && links_.receiverLinkUp.load() != 0 && receiver_ != nullptr) {
        return sendByReceiver(frame, out);
    }
    if (links_.ble() && ble_ != nullptr) {
        if (frame[report::kId] == report::kPolling) {
            out = SendOutcome::kSkipped;
            return 0;
        }
        const std::int32_t result = ble_->write(frame);
        if (result != 0) {
            clock_.sleepFor(wait::kBleMs);
        }
        out = result != 0 ? SendOutcome::kAccepted : SendOutcome::kRefused;
        return result;
    }
    return 0;
}

}  // namespace tvq
