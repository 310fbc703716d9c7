#include "page/profile_check.h"

#include <algorithm>
#include <memory>

#include "base/text.h"
#include "page/function_catalogue.h"
#include "profiles/record_layout.h"
#include "protocol/button_functions.h"
#include "protocol/frames.h"

namespace tvq {
namespace {

// The ranges the page's controls offer ("main.xml") and the frames carry.
constexpr std::int32_t kMaxDpiValue = 200;  // 8,000 DPI in 40-DPI steps
constexpr std::int32_t kMaxBrightness = 10;
constexpr std::int32_t kMaxBreathSpeed = 9;
constexpr std::int32_t kMinSleepTimer = 1;
constexpr std::int32_t kMaxSleepTimer = 60;
constexpr std::int32_t kMaxLightMode = 11;
constexpr std::int32_t kMaxPollingRate = 3;
constexpr std::int32_t kMaxStage = 7;
constexpr std::uint32_t kMaxColour = 0x00FFFFFF;
constexpr std::int32_t kMaxRepeatMode = 2;
constexpr std::int32_t kMaxLoopCount = 255;  // 0 plays once, as 1 does

// A function the page offers or the mouse has bytes for: a profile made on
// another computer may hold any of them.
bool knownFunction(std::uint8_t code) {
    return buttonFunction(code) != nullptr;
}

template <class T>
void keepWithin(T& value, T low, T high, T fallback, int& repaired) {
    if (value < low || value > high) {
        value = fallback;
        ++repaired;
    }
}

}  // namespace

bool usableName(std::u16string_view name) {
    if (name.find_first_not_of(u' ') == std::u16string_view::npos) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c < 0x20 || c == 0x7F || c == 0xFFFE || c == 0xFFFF) {
            return false;
        }
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (low) {
            return false;  // a low surrogate without its high one
        }
        if (high) {
            if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

ProfileRepairs repairImportedProfile(Profile& profile) {
    ProfileRepairs r;
    r.nameUnusable = !usableName(fieldText(profile.name));
    const std::unique_ptr<Profile> defaults = newProfile(u"defaults");
    int& n = r.settingsRepaired;
    keepWithin<std::int32_t>(profile.buttonMode, 0, layout::profile::kModeCount - 1, 0, n);
    for (std::size_t s = 0; s < profile.modes.size(); ++s) {
        ModeSettings& m = profile.modes[s];
        const ModeSettings& d = defaults->modes[s];
        for (std::size_t k = 0; k < m.dpiValue.size(); ++k) {
            keepWithin<std::int32_t>(m.dpiValue[k], 0, kMaxDpiValue, d.dpiValue[k], n);
            keepWithin<std::uint32_t>(m.dpiColor[k], 0, kMaxColour, d.dpiColor[k], n);
        }
        keepWithin<std::int32_t>(m.dpiStage, 0, kMaxStage, d.dpiStage, n);
        keepWithin<std::int32_t>(m.brightness, 0, kMaxBrightness, d.brightness, n);
        keepWithin<std::int32_t>(m.breathSpeed, 0, kMaxBreathSpeed, d.breathSpeed, n);
        keepWithin<std::int32_t>(m.sleepTimer, kMinSleepTimer, kMaxSleepTimer, d.sleepTimer, n);
        keepWithin<std::int32_t>(m.pollingRate, 0, kMaxPollingRate, d.pollingRate, n);
        keepWithin<std::int32_t>(m.movementMode, 0, 1, d.movementMode, n);
        keepWithin<std::int32_t>(m.lightMode, 0, kMaxLightMode, d.lightMode, n);
        keepWithin<std::int32_t>(m.lightModeBle, 0, kMaxLightMode, d.lightModeBle, n);
        keepWithin<std::uint32_t>(m.lightColor, 0, kMaxColour, d.lightColor, n);
        for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
            ButtonBinding& b = m.buttons[k];
            const bool macro = b.function == function::kMacro;
            const bool bad =
                !knownFunction(b.function) ||
                (b.shortcutModifiers & ~layout::binding::kModifierBits) != 0 ||
                (!fieldText(b.macroName).empty() && !usableName(fieldText(b.macroName))) ||
                (macro && (b.macroActionCount > layout::macro::kMaxActions ||
                           b.macroRepeatMode < 0 || b.macroRepeatMode > kMaxRepeatMode ||
                           b.macroLoopCount < 0 || b.macroLoopCount > kMaxLoopCount));
            if (bad) {
                b = d.buttons[k];
                ++r.functionsRepaired;
            }
        }
        // The left-click rule: the first button gets its default back.
        if (!keepsALeftClick(m)) {
            m.buttons[0] = d.buttons[0];
            r.leftClickRestored = true;
        }
    }
    return r;
}

}  // namespace tvq
