#include "page/controls.h"

#include <iterator>

namespace tvq {
namespace {

using K = ControlKind;
using P = Panel;

std::vector<ControlInfo> buildTable() {
    std::vector<ControlInfo> t;
    const auto add = [&t](std::string name, K kind, P panel, bool editable = false,
                          std::string accessibleKey = {}, int number = 0) {
        t.push_back({std::move(name), kind, panel, editable, std::move(accessibleKey), number});
    };
    const auto addNumbered = [&add](const char* prefix, int count, K kind, P panel,
                                    bool editable = false, const char* accessibleKey = "") {
        for (int n = 1; n <= count; ++n) {
            add(numbered(prefix, static_cast<std::size_t>(n)), kind, panel, editable, accessibleKey,
                n);
        }
    };
    addNumbered(control::kKeyButton, control::kKeyButtonCount, K::kButton, P::kButtons, true,
                "a11y_key_button_text");
    addNumbered(control::kKeyOverlay, control::kKeyButtonCount, K::kLabel, P::kButtons);
    addNumbered(control::kOptionButtonMode, control::kButtonModeOptionCount, K::kOption,
                P::kButtons, true, "a11y_button_mode_text");
    add(control::kMacroButton, K::kButton, P::kButtons, true, "a11y_macros_text");
    add(control::kListProfile, K::kList, P::kProfileList, true, "a11y_profiles_text");
    add(control::kProfileAdd, K::kButton, P::kProfileList, true, "a11y_profile_add_text");
    add(control::kProfileDelete, K::kButton, P::kProfileList, true, "a11y_profile_delete_text");
    add(control::kProfileRename, K::kButton, P::kProfileList, true, "a11y_profile_rename_text");
    add(control::kProfileImport, K::kButton, P::kProfileList, true, "a11y_profile_import_text");
    add(control::kProfileExport, K::kButton, P::kProfileList, true, "a11y_profile_export_text");
    add(control::kProfileReset, K::kButton, P::kProfileList, true, "a11y_profile_reset_text");
    for (const char* c : {control::kWired, control::kWireless, control::kBle}) {
        add(c, K::kLabel, P::kPage);
    }
    for (const SectionToggle& s : kSectionToggles) {
        add(s.check, K::kCheck, P::kPage, true);
    }
    for (const SectionToggle& s : kSectionToggles) {
        add(s.section, K::kSection, P::kPage);
    }
    addNumbered(control::kSliderDpi, control::kDpiStageControlCount, K::kSlider, P::kDpiStages,
                true, "a11y_dpi_value_text");
    addNumbered(control::kLabelDpi, control::kDpiStageControlCount, K::kLabel, P::kDpiStages);
    addNumbered(control::kOptionDpiStep, control::kDpiStageControlCount, K::kOption, P::kDpiStages,
                true, "a11y_dpi_stage_text");
    addNumbered(control::kDpiColor, control::kDpiStageControlCount, K::kButton, P::kDpiStages, true,
                "a11y_dpi_colour_text");
    add(control::kComboLight, K::kCombo, P::kLighting, true, "a11y_light_effect_text");
    add(control::kComboLightBle, K::kCombo, P::kLighting, true, "a11y_light_effect_ble_text");
    for (const char* c :
         {control::kHorBrightness, control::kHorBreathSpeed, control::kHorLightColor}) {
        add(c, K::kSection, P::kLighting);
    }
    add(control::kSliderBrightness, K::kSlider, P::kLighting, true, "a11y_brightness_text");
    add(control::kSliderBreathSpeed, K::kSlider, P::kLighting, true, "a11y_breath_speed_text");
    add(control::kLightColor, K::kButton, P::kLighting, true, "a11y_light_colour_text");
    // Named by their rate: 125, 250, 500 and 1000 Hz.
    constexpr int kRatesHz[control::kPrateOptionCount] = {125, 250, 500, 1000};
    for (std::size_t n = 1; n <= std::size(kRatesHz); ++n) {
        add(numbered(control::kOptionPrate, n), K::kOption, P::kPollingRate, true,
            "a11y_polling_rate_text", kRatesHz[n - 1]);
    }
    add(control::kLabelPrate, K::kLabel, P::kPollingRate);
    add(control::kMouseAttribute, K::kButton, P::kSystemMouse, true, "a11y_mouse_settings_text");
    add(control::kSliderSleep, K::kSlider, P::kSleepPower, true, "a11y_sleep_timer_text");
    add(control::kLabelSleep, K::kLabel, P::kSleepPower);
    add(control::kCheckMoveMode, K::kCheck, P::kSystemMouse, true, "a11y_movement_mode_text");
    add(control::kApplyButton, K::kButton, P::kPage, true, "a11y_apply_text");
    add(control::kProgressPower, K::kProgress, P::kSleepPower, false, "a11y_battery_text");
    add(control::kLabelPower, K::kLabel, P::kSleepPower);
    add(control::kLowPowerLabel, K::kLabel, P::kSleepPower);
    add(control::kSleepLabel, K::kLabel, P::kPage);
    add(control::kApplyRing, K::kProgress, P::kPage);  // shown while an apply runs
    add(control::kApplyStatus, K::kLabel, P::kPage);
    return t;
}

}  // namespace

std::span<const ControlInfo> pageControls() {
    static const std::vector<ControlInfo> table = buildTable();
    return table;
}

int controlNumber(std::string_view name, std::string_view prefix, int last) {
    if (name.substr(0, prefix.size()) != prefix) {
        return 0;
    }
    const std::string_view digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 2 || digits.front() == '0') {
        return 0;
    }
    int n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return 0;
        }
        n = n * 10 + (c - '0');
    }
    return n <= last ? n : 0;
}

}  // namespace tvq
