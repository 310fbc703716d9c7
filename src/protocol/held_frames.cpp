#include "protocol/held_frames.h"

#include <algorithm>

#include "protocol/report_layout.h"

namespace tvq {

HeldFrames::Slot HeldFrames::slotOf(std::span<const std::uint8_t> frame) {
    const std::uint8_t id = frame[report::kId];
    // The selector of the profile-select frame is the mode it selects, not
    // a place in the mouse: a second mode replaces the first.
    return {id, id == report::kProfileSelect ? std::uint8_t{0} : frame[report::kSelector]};
}

void HeldFrames::follow(std::uint32_t epoch) {
    if (epoch != epoch_) {
        held_.clear();
        epoch_ = epoch;
    }
}

void HeldFrames::forget(std::uint8_t reportId) {
    std::erase_if(held_, [reportId](const auto& entry) { return entry.first.first == reportId; });
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
