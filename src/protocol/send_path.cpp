#include "protocol/send_path.h"

#include <string>

#include "base/debug.h"
#include "protocol/frames.h"
#include "protocol/report_layout.h"

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

bool SendPath::receiverAtFixedPace() const {
    return fixedPace_ && fixedPaceEpoch_ == links_.connectionEpoch.load();
}

bool SendPath::awaitAcknowledgement(std::int64_t writtenAt) {
    const auto acknowledged = [this] { return links_.ackReceived.load() != 0; };
    for (;;) {
        const std::int64_t left = writtenAt + wait::kReceiverMs - clock_.nowMs();
        if (left <= 0) {
            return acknowledged();
        }
        if (!clock_.waitFor(static_cast<int>(left), acknowledged)) {
            return false;
        }
        if (clock_.nowMs() - writtenAt >= wait::kReceiverMinAnswerMs) {
            return true;
        }
        // Too soon to answer this write: a repeat of an earlier answer.
        links_.ackReceived.store(0);
    }
}

std::int32_t SendPath::sendByReceiver(std::span<const std::uint8_t> frame, SendOutcome& outcome) {
    std::int32_t result = 0;
    for (int attempt = 0; attempt < wait::kReceiverWrites; ++attempt) {
        const bool fixedPace = receiverAtFixedPace();
        links_.ackReceived.store(0);
        const std::int64_t writtenAt = clock_.nowMs();
        result = receiver_->write(frame);
        debug::write("Wireless Send = " + std::to_string(result));
        const bool acknowledged = awaitAcknowledgement(writtenAt);
        if (fixedPace) {
            // Every write waits the whole interval, so that a late answer to
            // it arrives before the next write.
            const std::int64_t left = writtenAt + wait::kReceiverMs - clock_.nowMs();
            if (left > 0) {
                clock_.sleepFor(static_cast<int>(left));
            }
        } else if (acknowledged) {
            clock_.sleepFor(wait::kReceiverSettleMs);
        }
        if (acknowledged) {
            outcome = SendOutcome::kAcknowledged;
            return result;
        }
        // A receiver pulled out, or a shutdown, ends the repetition early.
        if (clock_.cancelled() || !links_.receiver()) {
            break;
        }
        if (!fixedPace) {
            fixedPace_ = true;
            fixedPaceEpoch_ = links_.connectionEpoch.load();
            debug::write(
                "Receiver: a frame had to be written again; every write now waits 700 ms "
                "until the connection changes\n");
        }
    }
    outcome = SendOutcome::kUnacknowledged;
    return result;
}

bool SendPath::carriesPolling() const {
    return (links_.wired() && cable_ != nullptr) ||
           (links_.receiver() && links_.receiverLinkUp.load() != 0 && receiver_ != nullptr);
}

bool SendPath::carries(std::span<const std::uint8_t> frame) const {
    return carriesPolling() || frame.size() <= report::kId ||
           frame[report::kId] != report::kPolling;
}

bool SendPath::reachable() const {
    return (links_.wired() && cable_ != nullptr) ||
           (links_.receiver() && links_.receiverLinkUp.load() != 0 && receiver_ != nullptr) ||
           (links_.ble() && ble_ != nullptr);
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
