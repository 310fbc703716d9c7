#include "protocol/held_frames.h"

#include <algorithm>

#include "protocol/report_layout.h"

namespace tvq {

HeldFrames::Slot HeldFrames::slotOf(std::span<const std::uint8_t> frame) {
    return {frame[report::kId], frame[report::kSelector]};
}

void HeldFrames::follow(std::uint32_t epoch) {
    if (epoch != epoch_) {
        held_.clear();
        epoch_ = epoch;
    }
}

bool HeldFrames::holds(std::span<const std::uint8_t> frame) const {
    if (frame.size() <= report::kSelector) {
        return false;
    }
    const auto it = held_.find(slotOf(frame));
    return it != held_.end() && std::ranges::equal(it->second, frame);
}

void HeldFrames::took(std::span<const std::uint8_t> frame) {
    if (frame.size() > report::kSelector) {
        held_[slotOf(frame)] = Frame(frame.begin(), frame.end());
    }
}

}  // namespace tvq
