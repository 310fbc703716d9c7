// What the mouse holds of the frames written to it over the current
// connection: for each frame slot (report id and selector: the DPI frame of
// mode slot 1, the macro frame of device slot 3, ...), the bytes it took
// last. The profile-select frame has one slot whatever mode it selects. An
// apply leaves out the frames the mouse already holds. Device worker only.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <utility>

#include "protocol/frames.h"

namespace tvq {

class HeldFrames {
  public:
    // Forgets everything when `epoch` (LinkState::connectionEpoch) differs
    // from the one the memory was filled under.
    void follow(std::uint32_t epoch);
    void forget() { held_.clear(); }
    // Forgets every slot of one report: the mouse changed that setting itself.
    void forget(std::uint8_t reportId);

    bool holds(std::span<const std::uint8_t> frame) const;
    // The mouse took `frame`: it now holds these bytes for its slot.
    void took(std::span<const std::uint8_t> frame);

  private:
    using Slot = std::pair<std::uint8_t, std::uint8_t>;
    static Slot slotOf(std::span<const std::uint8_t> frame);

    std::map<Slot, Frame> held_;
    std::uint32_t epoch_ = 0;
};

}  // namespace tvq
