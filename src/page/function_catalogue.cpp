#include "page/function_catalogue.h"

#include <algorithm>
#include <utility>

#include "base/text.h"
#include "profiles/record_layout.h"

namespace tvq {

const std::array<FunctionEntry, kFunctionCount> kFunctionCatalogue = {{
    {0, "ms_1_button_off", "button_off_text"},
    {1, "ms_1_click", "left_click_text"},
    {2, "ms_1_menu", "right_click_text"},
    {3, "ms_1_scroll", "wheel_click_text"},
    {4, "ms_1_forward", "forward_text"},
    {5, "ms_1_backward", "backward_text"},
    {6, "ms_1_dpi_cycle", "dpi_cycle_text"},
    {7, "ms_1_dpi_up", "dpi_up_text"},
    {8, "ms_1_dpi_down", "dpi_down_text"},
    {9, "ms_1_double_click", "double_click_text"},
    {10, "ms_1_fire_button", "fire_button_text"},
    {11, "ms_1_scroll_up", "scroll_up_text"},
    {12, "ms_1_scroll_down", "scroll_down_text"},
    {13, "ms_1_titl_left", "titl_left_text"},
    {14, "ms_1_titl_right", "titl_right_text"},
    {16, "ms_1_shortcut", ""},
    {17, "ms_1_select_macro", ""},
    {22, "ms_1_easy_aim", "easy_aim_text"},
    {23, "ms_1_led_loop", "led_loop_text"},
    {32, "ms_1_cut", "cut_text"},
    {33, "ms_1_copy", "copy_text"},
    {34, "ms_1_paste", "paste_text"},
    {35, "ms_1_open", "open_text"},
    {36, "ms_1_save", "save_text"},
    {37, "ms_1_find", "find_text"},
    {38, "ms_1_redo", "redo_text"},
    {39, "", "undo_text"},
    {40, "ms_1_select_all", "select_all_text"},
    {41, "ms_1_print", "print_text"},
    {42, "ms_1_close_window", "close_window_text"},
    {43, "ms_1_swap_windows", "swap_windows_text"},
    {44, "ms_1_show_desktop", "show_desktop_text"},
    {45, "ms_1_run_command", "run_command_text"},
    {46, "ms_1_lock_pc", "lock_pc_text"},
    {50, "ms_1_screen_capture", "screen_capture_text"},
    {51, "", "task_view_text"},
    {54, "", "profile_cycle_text"},
    {55, "", "profile_up_text"},
    {56, "", "profile_down_text"},
    {64, "ms_1_media_player", "media_player_text"},
    {65, "ms_1_play_pause", "play_pause_text"},
    {66, "ms_1_media_stop", "media_stop_text"},
    {67, "ms_1_pre_track", "previous_track_text"},
    {68, "ms_1_next_track", "next_track_text"},
    {69, "ms_1_volume_up", "volume_up_text"},
    {70, "ms_1_volume_down", "volume_down_text"},
    {71, "ms_1_mute", "mute_text"},
    {80, "ms_1_browser_home", "browser_home_text"},
    {81, "ms_1_browser_favorites", "browser_favorites_text"},
    {82, "ms_1_browser_forward", "browser_forward_text"},
    {83, "ms_1_browser_backward", "browser_backward_text"},
    {84, "ms_1_browser_stop", "browser_stop_text"},
    {85, "ms_1_browser_refresh", "browser_refresh_text"},
    {86, "ms_1_browser_search", "browser_search_text"},
    {87, "ms_1_email", "email_text"},
    {88, "ms_1_calculator", "calculator_text"},
    {89, "ms_1_my_computer", "my_computer_text"},
}};

bool keepsALeftClick(const ModeSettings& mode, std::size_t changed, std::uint8_t code) {
    for (std::size_t k = 0; k < kClickableButtons; ++k) {
        if ((k == changed ? code : mode.buttons[k].function) == kLeftClickFunction) {
            return true;
        }
    }
    return false;
}

std::uint8_t functionForMenuItem(std::string_view item) {
    for (const FunctionEntry& e : kFunctionCatalogue) {
        if (!e.menuItem.empty() && equalIgnoringAsciiCase(e.menuItem, item)) {
            return e.code;
        }
    }
    return kLeftClickFunction;
}

std::string_view functionTextKey(std::uint8_t code) {
    for (const FunctionEntry& e : kFunctionCatalogue) {
        if (e.code == code) {
            return e.textKey;
        }
    }
    return {};
}

KeyButtonText keyButtonText(const ButtonBinding& binding, const KeyNames& keys,
                            const TextSource& texts) {
    if (binding.function == function::kShortcut) {
        constexpr std::array<std::pair<std::uint8_t, const char*>, 4> kModifiers = {{
            {layout::binding::kModCtrl, "keyboard_ctrl_text"},
            {layout::binding::kModShift, "keyboard_shift_text"},
            {layout::binding::kModAlt, "keyboard_alt_text"},
            {layout::binding::kModWin, "keyboard_win_text"},
        }};
        std::string text;
        for (const auto& [bit, key] : kModifiers) {
            if ((binding.shortcutModifiers & bit) != 0) {
                text += texts.text(key) + "+";
            }
        }
        return {text + keys.keyNameFromCode(binding.shortcutKey), false};
    }
    if (binding.function == function::kMacro) {
        return {texts.text("assign_macro_text") + utf8FromUtf16(fieldText(binding.macroName)),
                false};
    }
    return {std::string(functionTextKey(binding.function)), true};
}

}  // namespace tvq
