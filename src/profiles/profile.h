// The profile record: a name and five mode slots of mouse settings.
//
// The in-memory structs mirror the stored layout field for field (checked
// below), but bytes are only ever produced and consumed through the field
// lists, which write each value little-endian at its named offset.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/field_codec.h"
#include "macros/macro_layout.h"
#include "macros/macro_record.h"
#include "profiles/record_layout.h"

namespace tvq {

struct ButtonBinding {
    std::uint8_t buttonIndex = 0;
    std::uint8_t function = 0;  // function code of the button catalogue
    std::uint8_t reservedFlag = 0;
    std::uint8_t shortcutKey = 0;  // HID keyboard usage
    std::array<std::uint8_t, layout::binding::kShortcutPadSize> shortcutPad{};
    std::uint8_t shortcutModifiers = 0;  // layout::binding::kMod* bits
    std::uint16_t reservedWord = 0;
    std::array<std::uint8_t, layout::binding::kUnusedAfterWordSize> unusedAfterWord{};
    std::int32_t macroRepeatMode = 0;
    std::array<char16_t, layout::binding::kMacroNameUnits> macroName{};
    std::int32_t macroLoopCount = 0;
    std::uint16_t macroActionCount = 0;
    std::array<std::uint8_t, layout::binding::kUnusedAfterCountSize> unusedAfterCount{};
    std::int32_t macroIndex = 0;
    std::int32_t reservedIndex = 0;
    std::array<std::uint8_t, layout::binding::kUnusedAfterIndexSize> unusedAfterIndex{};
    std::uint8_t macroOptionByte = 0;
    std::array<std::uint8_t, layout::binding::kUnusedAfterOptionSize> unusedAfterOption{};
    MacroActions macroActions{};

    bool operator==(const ButtonBinding&) const = default;
};

using DpiTable = std::array<std::int32_t, layout::mode::kDpiStageCount>;
using ColorTable = std::array<std::uint32_t, layout::mode::kDpiStageCount>;

struct ModeSettings {
    std::array<std::uint8_t, layout::mode::kReservedHeadSize> reservedHead{};
    std::array<char16_t, layout::mode::kReservedTextUnits> reservedTextA{};
    std::array<char16_t, layout::mode::kReservedTextUnits> reservedTextB{};
    std::int32_t reservedValueA = 0;
    std::int32_t reservedValueB = 0;
    std::uint8_t reservedFlagA = 0;
    std::array<std::uint8_t, layout::mode::kPadAfterFlagASize> padAfterFlagA{};
    std::int32_t reservedValueC = 0;
    std::array<std::uint8_t, layout::mode::kUnusedBeforeDpiAuxSize> unusedBeforeDpiAux{};
    std::int32_t dpiAux = 0;
    std::int32_t dpiReportA = 0;
    std::int32_t dpiReportB = 0;
    std::array<std::uint8_t, layout::mode::kUnusedBeforeDpiValueSize> unusedBeforeDpiValue{};
    DpiTable dpiValue{};  // steps of 40 DPI
    DpiTable dpiValueAlt{};
    DpiTable dpiEnabled{};  // 1 = stage in the DPI cycle
    std::int32_t brightness = 0;
    std::int32_t breathSpeed = 0;
    std::int32_t sleepTimer = 0;  // shown as value x 0.5
    std::int32_t dpiStage = 0;
    std::int32_t pollingRate = 0;  // 0..3: 8, 4, 2, 1 ms
    std::int32_t movementMode = 0;
    std::int32_t lightMode = 0;
    std::int32_t lightModeBle = 0;
    std::uint8_t reservedFlagB = 0;
    std::array<std::uint8_t, layout::mode::kPadAfterFlagBSize> padAfterFlagB{};
    std::int32_t lightAux = 0;
    std::uint32_t lightColor = 0;  // 0x00BBGGRR
    ColorTable dpiColor{};
    ColorTable paletteColor{};
    std::int32_t reservedValueD = 0;
    std::array<ButtonBinding, layout::mode::kBindingCount> buttons{};

    bool operator==(const ModeSettings&) const = default;
};

struct Profile {
    std::int32_t buttonMode = 0;  // active mode slot
    std::array<char16_t, layout::profile::kNameUnits> name{};
    std::array<ModeSettings, layout::profile::kModeCount> modes{};

    bool operator==(const Profile&) const = default;
};

// The structs mirror the stored layout exactly.
static_assert(sizeof(ButtonBinding) == layout::binding::kSize);
static_assert(offsetof(ButtonBinding, function) == layout::binding::kFunction);
static_assert(offsetof(ButtonBinding, reservedFlag) == layout::binding::kReservedFlag);
static_assert(offsetof(ButtonBinding, shortcutKey) == layout::binding::kShortcutKey);
static_assert(offsetof(ButtonBinding, shortcutPad) == layout::binding::kShortcutPad);
static_assert(offsetof(ButtonBinding, shortcutModifiers) == layout::binding::kShortcutModifiers);
static_assert(offsetof(ButtonBinding, reservedWord) == layout::binding::kReservedWord);
static_assert(offsetof(ButtonBinding, unusedAfterWord) == layout::binding::kUnusedAfterWord);
static_assert(offsetof(ButtonBinding, macroRepeatMode) == layout::binding::kMacroRepeatMode);
static_assert(offsetof(ButtonBinding, macroName) == layout::binding::kMacroName);
static_assert(offsetof(ButtonBinding, macroLoopCount) == layout::binding::kMacroLoopCount);
static_assert(offsetof(ButtonBinding, macroActionCount) == layout::binding::kMacroActionCount);
static_assert(offsetof(ButtonBinding, unusedAfterCount) == layout::binding::kUnusedAfterCount);
static_assert(offsetof(ButtonBinding, macroIndex) == layout::binding::kMacroIndex);
static_assert(offsetof(ButtonBinding, reservedIndex) == layout::binding::kReservedIndex);
static_assert(offsetof(ButtonBinding, unusedAfterIndex) == layout::binding::kUnusedAfterIndex);
static_assert(offsetof(ButtonBinding, macroOptionByte) == layout::binding::kMacroOptionByte);
static_assert(offsetof(ButtonBinding, unusedAfterOption) == layout::binding::kUnusedAfterOption);
static_assert(offsetof(ButtonBinding, macroActions) == layout::binding::kMacroActions);
static_assert(layout::binding::kMacroActions +
                  layout::macro::kMaxActions * layout::macro::kActionSize ==
              layout::binding::kSize);

static_assert(sizeof(ModeSettings) == layout::mode::kSize);
static_assert(offsetof(ModeSettings, reservedTextA) == layout::mode::kReservedTextA);
static_assert(offsetof(ModeSettings, reservedTextB) == layout::mode::kReservedTextB);
static_assert(offsetof(ModeSettings, reservedValueA) == layout::mode::kReservedValueA);
static_assert(offsetof(ModeSettings, reservedValueB) == layout::mode::kReservedValueB);
static_assert(offsetof(ModeSettings, reservedFlagA) == layout::mode::kReservedFlagA);
static_assert(offsetof(ModeSettings, padAfterFlagA) == layout::mode::kPadAfterFlagA);
static_assert(offsetof(ModeSettings, reservedValueC) == layout::mode::kReservedValueC);
static_assert(offsetof(ModeSettings, unusedBeforeDpiAux) == layout::mode::kUnusedBeforeDpiAux);
static_assert(offsetof(ModeSettings, dpiAux) == layout::mode::kDpiAux);
static_assert(offsetof(ModeSettings, dpiReportA) == layout::mode::kDpiReportA);
static_assert(offsetof(ModeSettings, dpiReportB) == layout::mode::kDpiReportB);
static_assert(offsetof(ModeSettings, unusedBeforeDpiValue) == layout::mode::kUnusedBeforeDpiValue);
static_assert(offsetof(ModeSettings, dpiValue) == layout::mode::kDpiValue);
static_assert(offsetof(ModeSettings, dpiValueAlt) == layout::mode::kDpiValueAlt);
static_assert(offsetof(ModeSettings, dpiEnabled) == layout::mode::kDpiEnabled);
static_assert(offsetof(ModeSettings, brightness) == layout::mode::kBrightness);
static_assert(offsetof(ModeSettings, breathSpeed) == layout::mode::kBreathSpeed);
static_assert(offsetof(ModeSettings, sleepTimer) == layout::mode::kSleepTimer);
static_assert(offsetof(ModeSettings, dpiStage) == layout::mode::kDpiStage);
static_assert(offsetof(ModeSettings, pollingRate) == layout::mode::kPollingRate);
static_assert(offsetof(ModeSettings, movementMode) == layout::mode::kMovementMode);
static_assert(offsetof(ModeSettings, lightMode) == layout::mode::kLightMode);
static_assert(offsetof(ModeSettings, lightModeBle) == layout::mode::kLightModeBle);
static_assert(offsetof(ModeSettings, reservedFlagB) == layout::mode::kReservedFlagB);
static_assert(offsetof(ModeSettings, padAfterFlagB) == layout::mode::kPadAfterFlagB);
static_assert(offsetof(ModeSettings, lightAux) == layout::mode::kLightAux);
static_assert(offsetof(ModeSettings, lightColor) == layout::mode::kLightColor);
static_assert(offsetof(ModeSettings, dpiColor) == layout::mode::kDpiColor);
static_assert(offsetof(ModeSettings, paletteColor) == layout::mode::kPaletteColor);
static_assert(offsetof(ModeSettings, reservedValueD) == layout::mode::kReservedValueD);
static_assert(offsetof(ModeSettings, buttons) == layout::mode::kButtons);
static_assert(layout::mode::kButtons + layout::mode::kBindingCount * layout::binding::kSize ==
              layout::mode::kSize);

static_assert(sizeof(Profile) == layout::profile::kSize);
static_assert(offsetof(Profile, name) == layout::profile::kName);
static_assert(offsetof(Profile, modes) == layout::profile::kModes);
static_assert(layout::profile::kModes + layout::profile::kModeCount * layout::mode::kSize ==
              layout::profile::kSize);

template <class Io, RecordOf<ButtonBinding> B>
void fields(const Io& io, std::size_t base, B& b) {
    namespace k = layout::binding;
    io(base + k::kButtonIndex, b.buttonIndex);
    io(base + k::kFunction, b.function);
    io(base + k::kReservedFlag, b.reservedFlag);
    io(base + k::kShortcutKey, b.shortcutKey);
    io(base + k::kShortcutPad, b.shortcutPad);
    io(base + k::kShortcutModifiers, b.shortcutModifiers);
    io(base + k::kReservedWord, b.reservedWord);
    io(base + k::kUnusedAfterWord, b.unusedAfterWord);
    io(base + k::kMacroRepeatMode, b.macroRepeatMode);
    io(base + k::kMacroName, b.macroName);
    io(base + k::kMacroLoopCount, b.macroLoopCount);
    io(base + k::kMacroActionCount, b.macroActionCount);
    io(base + k::kUnusedAfterCount, b.unusedAfterCount);
    io(base + k::kMacroIndex, b.macroIndex);
    io(base + k::kReservedIndex, b.reservedIndex);
    io(base + k::kUnusedAfterIndex, b.unusedAfterIndex);
    io(base + k::kMacroOptionByte, b.macroOptionByte);
    io(base + k::kUnusedAfterOption, b.unusedAfterOption);
    actionFields(io, base + k::kMacroActions, b.macroActions);
}

template <class Io, RecordOf<ModeSettings> M>
void fields(const Io& io, std::size_t base, M& m) {
    namespace k = layout::mode;
    io(base + k::kReservedHead, m.reservedHead);
    io(base + k::kReservedTextA, m.reservedTextA);
    io(base + k::kReservedTextB, m.reservedTextB);
    io(base + k::kReservedValueA, m.reservedValueA);
    io(base + k::kReservedValueB, m.reservedValueB);
    io(base + k::kReservedFlagA, m.reservedFlagA);
    io(base + k::kPadAfterFlagA, m.padAfterFlagA);
    io(base + k::kReservedValueC, m.reservedValueC);
    io(base + k::kUnusedBeforeDpiAux, m.unusedBeforeDpiAux);
    io(base + k::kDpiAux, m.dpiAux);
    io(base + k::kDpiReportA, m.dpiReportA);
    io(base + k::kDpiReportB, m.dpiReportB);
    io(base + k::kUnusedBeforeDpiValue, m.unusedBeforeDpiValue);
    io(base + k::kDpiValue, m.dpiValue);
    io(base + k::kDpiValueAlt, m.dpiValueAlt);
    io(base + k::kDpiEnabled, m.dpiEnabled);
    io(base + k::kBrightness, m.brightness);
    io(base + k::kBreathSpeed, m.breathSpeed);
    io(base + k::kSleepTimer, m.sleepTimer);
    io(base + k::kDpiStage, m.dpiStage);
    io(base + k::kPollingRate, m.pollingRate);
    io(base + k::kMovementMode, m.movementMode);
    io(base + k::kLightMode, m.lightMode);
    io(base + k::kLightModeBle, m.lightModeBle);
    io(base + k::kReservedFlagB, m.reservedFlagB);
    io(base + k::kPadAfterFlagB, m.padAfterFlagB);
    io(base + k::kLightAux, m.lightAux);
    io(base + k::kLightColor, m.lightColor);
    io(base + k::kDpiColor, m.dpiColor);
    io(base + k::kPaletteColor, m.paletteColor);
    io(base + k::kReservedValueD, m.reservedValueD);
    for (std::size_t i = 0; i < k::kBindingCount; ++i) {
        fields(io, base + k::kButtons + i * layout::binding::kSize, m.buttons[i]);
    }
}

template <class Io, RecordOf<Profile> P>
void fields(const Io& io, std::size_t base, P& p) {
    namespace k = layout::profile;
    io(base + k::kButtonMode, p.buttonMode);
    io(base + k::kName, p.name);
    for (std::size_t i = 0; i < k::kModeCount; ++i) {
        fields(io, base + k::kModes + i * layout::mode::kSize, p.modes[i]);
    }
}

// The record's 165,004 bytes, written into `out` (which must hold them).
void encodeProfile(const Profile& profile, std::span<std::uint8_t, layout::profile::kSize> out);
std::vector<std::uint8_t> encodeProfile(const Profile& profile);

// Decodes 165,004 bytes as they are; nothing is bounded.
std::unique_ptr<Profile> decodeProfile(std::span<const std::uint8_t, layout::profile::kSize> in);

// A ".pro" file: exactly one record.
std::unique_ptr<Profile> parseProfileFile(std::span<const std::uint8_t> bytes,
                                          std::string* error = nullptr);

// Defaults: buttonMode 0 and every listed field of the five slots. The name,
// movementMode, the reserved head and the unused gaps are left as they are.
void applyDefaults(Profile& profile);

// A zero-filled profile with every default and the given name (cut to 49
// UTF-16 units, never inside a surrogate pair).
std::unique_ptr<Profile> newProfile(std::u16string_view name);

// The active slot, chosen by buttonMode. A buttonMode outside 0..4 (a damaged
// or foreign file) reads slot 0 rather than memory past the record.
std::size_t activeSlot(const Profile& profile);
ModeSettings& modeOf(Profile& profile);
const ModeSettings& modeOf(const Profile& profile);

std::u16string profileName(const Profile& profile);
void setProfileName(Profile& profile, std::u16string_view name);

// Mode-slot rules of the editing code.
// Rule 1: a setting is written to all five slots alike.
void writeAllSlots(Profile& profile, const std::function<void(ModeSettings&)>& edit);
// Rule 3: a binding goes into the active slot; for buttons 0..9 while slot 0
// or 1 is active it is also copied whole to the other of those two slots.
void storeBinding(Profile& profile, std::size_t buttonIndex, const ButtonBinding& binding);

// Default function code of a button in a slot.
std::uint8_t defaultFunction(std::size_t slot, std::size_t buttonIndex);

// Colours: stored 0x00BBGGRR, shown as opaque 0xFFRRGGBB.
constexpr std::uint32_t shownColor(std::uint32_t stored) {
    const std::uint32_t r = stored & 0xFF;
    const std::uint32_t g = (stored >> 8) & 0xFF;
    const std::uint32_t b = (stored >> 16) & 0xFF;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}
constexpr std::uint32_t storedColor(std::uint32_t shown) {
    const std::uint32_t r = (shown >> 16) & 0xFF;
    const std::uint32_t g = (shown >> 8) & 0xFF;
    const std::uint32_t b = shown & 0xFF;
    return r | (g << 8) | (b << 16);
}

// DPI values are stored in steps of 40 DPI.
inline constexpr std::int32_t kDpiStep = 40;
constexpr std::int64_t shownDpi(std::int32_t stored) {
    return std::int64_t{stored} * kDpiStep;
}

}  // namespace tvq
