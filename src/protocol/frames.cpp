#include "protocol/frames.h"

#include <algorithm>

#include "protocol/button_functions.h"

namespace tvq {
namespace {

namespace r = report;

Frame header(std::uint8_t id, std::size_t length, std::uint8_t selector) {
    Frame f(length, 0);
    f[r::kId] = id;
    f[r::kLength] = static_cast<std::uint8_t>(length);
    f[r::kSelector] = selector;
    return f;
}

std::uint8_t low(std::int64_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

// Stores the sum of bytes 3 .. at-1, high byte first, at `at`.
void seal(Frame& f, std::size_t at) {
    const std::uint16_t sum = frameSum(f, r::kBody, at);
    f[at] = static_cast<std::uint8_t>(sum >> 8);
    f[at + 1] = static_cast<std::uint8_t>(sum & 0xFF);
}

void putColor(Frame& f, std::size_t at, std::uint32_t stored) {
    f[at] = low(stored);            // red
    f[at + 1] = low(stored >> 8);   // green
    f[at + 2] = low(stored >> 16);  // blue
}

// Delay code of a macro entry: tenths rounded half up, with 0 counted as 1.
std::uint8_t delayTicks(std::uint32_t ms) {
    return static_cast<std::uint8_t>((std::max<std::uint32_t>(ms, 1) + 5) / 10);
}

}  // namespace

std::uint16_t frameSum(std::span<const std::uint8_t> frame, std::size_t from, std::size_t to) {
    std::uint32_t sum = 0;
    for (std::size_t i = from; i < to && i < frame.size(); ++i) {
        sum += frame[i];
    }
    return static_cast<std::uint16_t>(sum);
}

std::array<std::uint8_t, 3> deviceFunction(std::uint8_t code) {
    const ButtonFunction* f = buttonFunction(code);
    return f != nullptr ? f->deviceBytes : std::array<std::uint8_t, 3>{0, 0, 0};
}

bool hasDeviceFunction(std::uint8_t code) {
    return deviceFunction(code)[0] != 0;
}

DpiCounts dpiCounts(std::int32_t dpiValue) {
    const std::int64_t dpi = shownDpi(dpiValue);
    DpiCounts counts;
    counts.high = dpi > r::kDpiHighRangeAbove;
    const std::int64_t x = counts.high ? dpi / 2 : dpi;
    // The mouse's own rounding: single-precision quotient plus 0.5, truncated
    // toward zero (not lround: the two differ below zero).
    const auto round = [x](float divisor) {
        return low(static_cast<std::int64_t>(  // NOLINT(bugprone-incorrect-roundings)
            static_cast<float>(x) / divisor + 0.5f));
    };
    counts.a = round(r::kDpiCountDivisorA);
    counts.b = round(r::kDpiCountDivisorB);
    return counts;
}

std::uint8_t pollingInterval(std::int32_t pollingRate) {
    switch (pollingRate) {
        case 0:
            return 8;
        case 1:
            return 4;
        case 2:
            return 2;
        case 3:
            return 1;
        default:
            return 2;
    }
}

Frame profileSelectFrame(const Profile& profile) {
    const std::uint8_t mode = low(std::int64_t{profile.buttonMode} + 1);
    Frame f = header(r::kProfileSelect, r::kProfileSelectLength, mode);
    f[r::kComplementValue] = static_cast<std::uint8_t>(~mode);
    f[r::kProfileSelectTail] = r::kProfileSelectTailValue;
    f[r::kProfileSelectTail + 1] = static_cast<std::uint8_t>(~r::kProfileSelectTailValue);
    return f;
}

Frame dpiFrame(const ModeSettings& mode, std::size_t slot) {
    Frame f = header(r::kDpi, r::kDpiLength, static_cast<std::uint8_t>(slot + 1));
    f[r::kDpiReportA] = low(mode.dpiReportA);
    f[r::kDpiReportB] = low(mode.dpiReportB);
    std::uint8_t enabled = 0;
    std::uint8_t high = 0;
    for (std::size_t i = 0; i < layout::mode::kDpiStageCount; ++i) {
        const DpiCounts c = dpiCounts(mode.dpiValue[i]);
        enabled |= static_cast<std::uint8_t>((mode.dpiEnabled[i] == 1 ? 1u : 0u) << i);
        high |= static_cast<std::uint8_t>((c.high ? 1u : 0u) << i);
        f[r::kDpiCountA + i] = c.a;
        f[r::kDpiCountB + i] = c.b;
        putColor(f, r::kDpiColors + 3 * i, mode.dpiColor[i]);
    }
    f[r::kDpiEnableMask] = enabled;
    f[r::kDpiHighMask] = high;
    f[r::kDpiHighMaskCopy] = high;
    f[r::kDpiStage] = low(std::int64_t{mode.dpiStage} + 1);
    f[r::kDpiTrailer] = r::kDpiTrailerValue;
    seal(f, r::kDpiSum);
    return f;
}

Frame lightingFrame(const ModeSettings& mode, std::size_t slot) {
    Frame f = header(r::kLighting, r::kLightingLength, static_cast<std::uint8_t>(slot + 1));
    f[r::kLightEffect] = low(std::int64_t{mode.lightMode} * 16);
    f[r::kLightSpeed] = low(std::int64_t{r::kLightSpeedBase} - mode.breathSpeed);
    const bool dimmable = mode.lightMode == 1 || mode.lightMode == 9;
    f[r::kLightBrightness] = dimmable ? low(mode.brightness) : r::kLightFixedBrightness;
    putColor(f, r::kLightColor, mode.lightColor);
    f[r::kLightSleep] = low(mode.sleepTimer);
    f[r::kLightTrailer] = r::kLightTrailerValue;
    seal(f, r::kLightSum);
    return f;
}

Frame pollingFrame(const ModeSettings& mode, std::uint8_t copy) {
    Frame f = header(r::kPolling, r::kPollingLength, copy);
    f[r::kComplementValue] = pollingInterval(mode.pollingRate);
    f[r::kComplementCheck] = static_cast<std::uint8_t>(~f[r::kComplementValue]);
    return f;
}

Frame buttonsFrame(const ModeSettings& mode, std::size_t slot, const MacroSlotTable& slots) {
    Frame f = header(r::kButtons, r::kButtonsLength, static_cast<std::uint8_t>(slot + 1));
    for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
        const ButtonBinding& b = mode.buttons[k];
        std::array<std::uint8_t, 3> entry = deviceFunction(b.function);
        if (b.function == function::kShortcut) {
            entry[1] = b.shortcutModifiers;
            entry[2] = b.shortcutKey;
        } else if (b.function == function::kMacro) {
            entry[1] = 0;
            entry[2] = slots[slot][k];
        }
        std::copy(entry.begin(), entry.end(), f.begin() + r::kButtonEntries + 3 * k);
    }
    seal(f, r::kButtonsSum);
    return f;
}

Frame macroFrame(const ButtonBinding& binding, std::uint8_t slotNumber) {
    Frame f = header(r::kMacro, r::kMacroLength, slotNumber);
    f[r::kMacroRepeat] = low(binding.macroRepeatMode);
    for (std::size_t i = 0; i < 3; ++i) {
        f[r::kMacroOption + i] = binding.macroOptionByte;
    }
    const std::uint8_t loops = low(binding.macroLoopCount);
    f[r::kMacroLoops] = loops == 0 ? 1 : loops;

    // A damaged binding may claim more actions than it has room for.
    const std::size_t count =
        std::min<std::size_t>(binding.macroActionCount, layout::macro::kMaxActions);
    std::size_t at = r::kMacroEntries;
    int extensions = 0;
    const auto entry = [&](std::uint8_t first, std::uint8_t second) {
        f[at++] = first;
        f[at++] = second;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const MacroAction& a = binding.macroActions[i];
        const std::uint8_t flag =
            a.type == layout::macro::kPress ? r::kMacroPressFlag : r::kMacroReleaseFlag;
        if (a.delay <= r::kMacroLongDelayMs) {
            entry(delayTicks(a.delay) | flag, a.code);
        } else if (extensions < r::kMacroMaxExtensions) {
            const std::uint32_t q = a.delay / r::kMacroExtensionStepMs;
            const std::uint32_t rest = a.delay % r::kMacroExtensionStepMs;
            entry(delayTicks(rest == 0 ? 1 : rest) | flag, a.code);
            entry(low(q), r::kMacroExtensionMarker);
            ++extensions;
        } else {
            // No extension left in this frame: the longest plain delay.
            entry(delayTicks(r::kMacroLongDelayMs) | flag, a.code);
        }
    }
    f[r::kMacroEntryCount] = low(static_cast<std::int64_t>(count) + extensions);
    seal(f, r::kMacroSum);
    return f;
}

std::vector<Frame> applyFrames(const Profile& profile, MacroSlotTable& slots) {
    std::vector<Frame> frames;
    frames.push_back(profileSelectFrame(profile));
    for (std::size_t s = 0; s < 2; ++s) {
        const ModeSettings& mode = profile.modes[s];
        frames.push_back(dpiFrame(mode, s));
        frames.push_back(lightingFrame(mode, s));
        frames.push_back(pollingFrame(mode, 1));
        frames.push_back(pollingFrame(mode, 2));
    }
    for (auto& row : slots) {
        row.fill(0);
    }
    std::uint8_t n = 0;
    for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
        const ButtonBinding& b = profile.modes[0].buttons[k];
        if (b.function == function::kMacro) {
            slots[0][k] = ++n;
            frames.push_back(macroFrame(b, n));
        }
    }
    for (std::size_t row = 1; row < slots.size(); ++row) {
        std::copy_n(slots[0].begin(), layout::mode::kUsedBindingCount, slots[row].begin());
    }
    frames.push_back(buttonsFrame(profile.modes[0], 0, slots));
    frames.push_back(buttonsFrame(profile.modes[1], 1, slots));
    frames.push_back(profileSelectFrame(profile));
    return frames;
}

std::array<std::array<std::uint8_t, report::kChunkLength>, report::kChunkCount> macroChunks(
    std::span<const std::uint8_t> frame) {
    std::array<std::array<std::uint8_t, r::kChunkLength>, r::kChunkCount> chunks{};
    // The carried data: frame bytes 3..130, then zeros.
    std::array<std::uint8_t, r::kChunkCount * r::kChunkDataSize> data{};
    const std::size_t carried = std::min(frame.size(), r::kMacroLength);
    if (carried > r::kBody) {
        std::copy(frame.begin() + r::kBody, frame.begin() + static_cast<std::ptrdiff_t>(carried),
                  data.begin());
    }
    for (std::size_t j = 0; j < r::kChunkCount; ++j) {
        auto& c = chunks[j];
        c[r::kId] = r::kMacro;
        c[r::kLength] = static_cast<std::uint8_t>(r::kChunkLength);
        c[r::kSelector] = frame.size() > r::kSelector ? frame[r::kSelector] : 0;
        c[r::kChunkIndex] = static_cast<std::uint8_t>(j);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(j * r::kChunkDataSize),
                    r::kChunkDataSize, c.begin() + r::kChunkData);
    }
    return chunks;
}

}  // namespace tvq
