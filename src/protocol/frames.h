// The report frames that write a profile into the mouse.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "profiles/profile.h"
#include "profiles/record_layout.h"
#include "protocol/report_layout.h"

namespace tvq {

using Frame = std::vector<std::uint8_t>;

// Device macro slot numbers of the last apply: row s, entry k is the slot of
// binding k as mode slot s's button frame refers to it (0 = not a macro).
using MacroSlotTable =
    std::array<std::array<std::uint8_t, layout::mode::kBindingCount>, layout::profile::kModeCount>;

// 16-bit sum of bytes [from, to) of a frame, carries dropped.
std::uint16_t frameSum(std::span<const std::uint8_t> frame, std::size_t from, std::size_t to);

// The three device bytes of a button function code; 0 0 0 for unknown codes.
std::array<std::uint8_t, 3> deviceFunction(std::uint8_t code);
// Whether the mouse has bytes for the button function `code`.
bool hasDeviceFunction(std::uint8_t code);

// Counts A and B of one DPI stage, and whether it lies in the high range.
struct DpiCounts {
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    bool high = false;
};
DpiCounts dpiCounts(std::int32_t dpiValue);

// Report interval in ms of a polling-rate code (0..3; anything else 2 ms).
std::uint8_t pollingInterval(std::int32_t pollingRate);

Frame profileSelectFrame(const Profile& profile);
Frame dpiFrame(const ModeSettings& mode, std::size_t slot);
Frame lightingFrame(const ModeSettings& mode, std::size_t slot);
Frame pollingFrame(const ModeSettings& mode, std::uint8_t copy);
Frame buttonsFrame(const ModeSettings& mode, std::size_t slot, const MacroSlotTable& slots);
Frame macroFrame(const ButtonBinding& binding, std::uint8_t slotNumber);

// The whole apply sequence in send order (12 frames plus one per macro
// binding of mode slot 0), filling `slots` as it numbers the macros.
std::vector<Frame> applyFrames(const Profile& profile, MacroSlotTable& slots);

// The three 64-byte cable chunks of a REPORT_MACRO frame.
std::array<std::array<std::uint8_t, report::kChunkLength>, report::kChunkCount> macroChunks(
    std::span<const std::uint8_t> macroFrame);

}  // namespace tvq
