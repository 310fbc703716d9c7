#include "page/controls.h"

#include <iterator>

namespace tvq {
namespace {

using K = ControlKind;

std::vector<ControlInfo> buildTable() {
    std::vector<ControlInfo> t;
    const auto add = [&t](std::string name, K kind, bool editable = false,
                          std::string accessibleKey = {}, int number = 0) {
        t.push_back({std::move(name), kind, editable, std::move(accessibleKey), number});
    };
    const auto addNumbered = [&add](const char* prefix, int count, K kind, bool editable = false,
                                    const char* accessibleKey = "") {
        for (int n = 1; n <= count; ++n) {
            add(numbered(prefix, static_cast<std::size_t>(n)), kind, editable, accessibleKey, n);
        }
    };
    addNumbered(control::kKeyButton, control::kKeyButtonCount, K::kButton, true,
                "a11y_key_button_text");
    addNumbered(control::kKeyOverlay, control::kKeyButtonCount, K::kLabel);
    addNumbered(control::kOptionButtonMode, control::kButtonModeOptionCount, K::kOption, true,
                "a11y_button_mode_text");
    add(control::kMacroButton, K::kButton, true, "a11y_macros_text");
    add(control::kListProfile, K::kList, true, "a11y_profiles_text");
    add(control::kProfileAdd, K::kButton, true, "a11y_profile_add_text");
    add(control::kProfileDelete, K::kButton, true, "a11y_profile_delete_text");
    add(control::kProfileRename, K::kButton, true, "a11y_profile_rename_text");
    add(control::kProfileImport, K::kButton, true, "a11y_profile_import_text");
    add(control::kProfileExport, K::kButton, true, "a11y_profile_export_text");
    add(control::kProfileReset, K::kButton, true, "a11y_profile_reset_text");
    for (const char* c : {control::kWired, control::kWireless, control::kBle}) {
        add(c, K::kLabel);
    }
    for (const SectionToggle& s : kSectionToggles) {
        add(s.check, K::kCheck, true);
    }
    for (const SectionToggle& s : kSectionToggles) {
        add(s.section, K::kSection);
    }
    addNumbered(control::kSliderDpi, control::kDpiStageControlCount, K::kSlider, true,
                "a11y_dpi_value_text");
    addNumbered(control::kLabelDpi, control::kDpiStageControlCount, K::kLabel);
    addNumbered(control::kOptionDpiStep, control::kDpiStageControlCount, K::kOption, true,
                "a11y_dpi_stage_text");
    addNumbered(control::kDpiColor, control::kDpiStageControlCount, K::kButton, true,
                "a11y_dpi_colour_text");
    addNumbered(control::kCheckDpiInCycle, control::kDpiStageControlCount, K::kCheck, true,
                "a11y_dpi_in_cycle_text");
    add(control::kComboLight, K::kCombo, true, "a11y_light_effect_text");
    add(control::kComboLightBle, K::kCombo, true, "a11y_light_effect_ble_text");
    for (const char* c :
         {control::kHorBrightness, control::kHorBreathSpeed, control::kHorLightColor}) {
        add(c, K::kSection);
    }
    add(control::kSliderBrightness, K::kSlider, true, "a11y_brightness_text");
    add(control::kSliderBreathSpeed, K::kSlider, true, "a11y_breath_speed_text");
    add(control::kLightColor, K::kButton, true, "a11y_light_colour_text");
    // Named by their rate: 125, 250, 500 and 1000 Hz.
    constexpr int kRatesHz[control::kPrateOptionCount] = {125, 250, 500, 1000};
    for (std::size_t n = 1; n <= std::size(kRatesHz); ++n) {
        add(numbered(control::kOptionPrate, n), K::kOption, true, "a11y_polling_rate_text",
            kRatesHz[n - 1]);
    }
    add(control::kLabelPrate, K::kLabel);
    add(control::kMouseAttribute, K::kButton, true, "a11y_mouse_settings_text");
    add(control::kSliderSleep, K::kSlider, true, "a11y_sleep_timer_text");
    add(control::kLabelSleep, K::kLabel);
    add(control::kCheckMoveMode, K::kCheck, true, "a11y_movement_mode_text");
    add(control::kApplyButton, K::kButton, true, "a11y_apply_text");
    add(control::kProgressPower, K::kProgress, false, "a11y_battery_text");
    add(control::kLabelPower, K::kLabel);
    add(control::kLowPowerLabel, K::kLabel);
    add(control::kSleepLabel, K::kLabel);
    add(control::kApplyRing, K::kProgress);  // shown while an apply runs
    add(control::kApplyStatus, K::kLabel);
    add(control::kNoMouseNote, K::kLabel);
    return t;
}

}  // namespace

std::span<const ControlInfo> pageControls() {
    static const std::vector<ControlInfo> table = buildTable();
    return table;
}

}  // namespace tvq
