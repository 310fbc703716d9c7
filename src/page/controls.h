// The settings page's controls: their names in "main.xml", and one table
// that says of each what it is and whether the user can change it yet.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tvq {

namespace control {
inline constexpr const char* kWired = "ms_1_wired";
inline constexpr const char* kWireless = "ms_1_wireless";
inline constexpr const char* kBle = "ms_1_BLE";
inline constexpr const char* kSleepLabel = "ms_1_sleep_label";
inline constexpr const char* kLabelPower = "ms_1_label_power";
inline constexpr const char* kProgressPower = "ms_1_progress_power";
inline constexpr const char* kLowPowerLabel = "ms_1_low_power_label";
inline constexpr const char* kApplyRing = "apply_ring";
inline constexpr const char* kApplyStatus = "ms_1_apply_status";  // what went wrong, in words
inline constexpr const char* kNoMouseNote =
    "ms_1_no_mouse_note";  // no mouse, and how to connect one
inline constexpr const char* kApplyButton = "ms_1_apply_btn";
inline constexpr const char* kListProfile = "ms_1_list_profile";
inline constexpr const char* kProfileAdd = "ms_1_profile_add_btn";
inline constexpr const char* kProfileDelete = "ms_1_profile_delete_btn";
inline constexpr const char* kProfileRename = "ms_1_profile_rename_btn";
inline constexpr const char* kProfileImport = "ms_1_profile_import_btn";
inline constexpr const char* kProfileExport = "ms_1_profile_export_btn";
inline constexpr const char* kProfileReset = "ms_1_profile_reset_btn";
inline constexpr const char* kMacroButton = "ms_1_btn_macro";
inline constexpr const char* kKeyButton = "ms_1_btn_key_";                    // + 1..18
inline constexpr const char* kKeyOverlay = "ms_1_key_control_";               // + 1..18
inline constexpr const char* kOptionButtonMode = "ms_1_option_button_mode_";  // + 1..2
inline constexpr const char* kSliderDpi = "ms_1_slider_dpi_";                 // + 1..8
inline constexpr const char* kLabelDpi = "ms_1_label_dpi_";  // + 1..8, the value in DPI
inline constexpr const char* kOptionDpiStep = "ms_1_option_dpi_step_";        // + 1..8
inline constexpr const char* kCheckDpiInCycle = "ms_1_check_dpi_in_cycle_";   // + 1..8
inline constexpr const char* kDpiColor = "ms_1_btn_dpi_color_";               // + 1..8
inline constexpr const char* kComboLight = "ms_1_combo_light";
inline constexpr const char* kComboLightBle = "ms_1_combo_light_ble";
inline constexpr const char* kHorBrightness = "ms_1_hor_brightness";
inline constexpr const char* kHorBreathSpeed = "ms_1_hor_breathspeed";
inline constexpr const char* kHorLightColor = "ms_1_hor_light_color";
inline constexpr const char* kSliderBrightness = "ms_1_slider_brightness";
inline constexpr const char* kSliderBreathSpeed = "ms_1_slider_breathspeed";
inline constexpr const char* kLightColor = "ms_1_btn_light_color";
inline constexpr const char* kOptionPrate = "ms_1_btn_prate_";  // + 1..4
inline constexpr const char* kLabelPrate = "ms_1_label_prate";
inline constexpr const char* kMouseAttribute = "ms_1_btn_mouse_attribute";
inline constexpr const char* kSliderSleep = "ms_1_slider_sleep_timer";
inline constexpr const char* kLabelSleep = "ms_1_label_sleep_timer";
inline constexpr const char* kCheckMoveMode = "ms_1_check_movemode";
inline constexpr const char* kCheckPrate = "ms_1_check_prate";
inline constexpr const char* kVerPrate = "ms_1_ver_prate";
inline constexpr const char* kCheckPower = "ms_1_check_power";
inline constexpr const char* kVerPower = "ms_1_ver_power";
inline constexpr const char* kCheckPowerSetting = "ms_1_check_power_setting";
inline constexpr const char* kVerPowerSetting = "ms_1_ver_power_setting";
inline constexpr int kKeyButtonCount = 18;
inline constexpr int kButtonModeOptionCount = 2;
inline constexpr int kDpiStageControlCount = 8;
inline constexpr int kPrateOptionCount = 4;
inline constexpr int kProfileRowHeight = 22;
}  // namespace control

// How long an edit must rest before the mouse is sent it: a slider's drag
// or a run of choices in a lighting list makes one apply.
inline constexpr int kSliderSettleMs = 500;
inline constexpr int kListSettleMs = 200;

// The section toggles and the sections they show and hide.
struct SectionToggle {
    const char* check;
    const char* section;
};
inline constexpr SectionToggle kSectionToggles[] = {
    {"ms_1_check_button", "ms_1_hor_button"},
    {"ms_1_check_profile", "ms_1_ver_profile"},
    {"ms_1_check_power", "ms_1_ver_power"},
    {"ms_1_check_dpi", "ms_1_hor_dpi"},
    {"ms_1_check_light", "ms_1_ver_light"},
    {"ms_1_check_prate", "ms_1_ver_prate"},
    {"ms_1_check_mouse_attribute", "ms_1_ver_mouse_attribute"},
    {"ms_1_check_power_setting", "ms_1_ver_power_setting"},
};

enum class ControlKind {
    kButton,  // a push button
    kOption,  // one of a group of exclusive options
    kCheck,   // a check box
    kSlider,
    kCombo,
    kList,
    kLabel,  // text or an indicator
    kProgress,
    kSection,  // a container that a toggle shows and hides
};

struct ControlInfo {
    std::string name;
    ControlKind kind;
    // The user can change it on the page today. Other controls show their
    // values but are disabled, so that the screen never shows a setting that
    // the profile and the mouse do not have.
    bool editable;
    // The text key of its accessible name, "%1" standing for `number`;
    // empty where the control's own text names it.
    std::string accessibleKey = {};
    int number = 0;
    // A control the user operates, as opposed to one that only shows.
    bool operable() const {
        return kind != ControlKind::kLabel && kind != ControlKind::kProgress &&
               kind != ControlKind::kSection;
    }
};

// Every control the page binds, in the order it looks them up.
std::span<const ControlInfo> pageControls();

inline std::string numbered(const char* prefix, std::size_t n) {
    return prefix + std::to_string(n);
}

}  // namespace tvq
