// The button functions, once: the code a binding stores, the three bytes the
// mouse takes for it, the function menu item that assigns it and the menus
// that offer it, and the text key that names it on its key button. The
// frames, the function menus and the key buttons are all read from it; a
// test holds the menu layout files to it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tvq {

// Which of the two function menus offer a function: every button's, or only
// the one of the buttons that tilt the wheel ("ms_1_menu_1.xml").
enum class FunctionMenus : std::uint8_t { kNoMenu, kEveryMenu, kTiltMenu };

struct ButtonFunction {
    std::uint8_t code;
    std::array<std::uint8_t, 3> deviceBytes;  // 0 0 0: the mouse has none
    std::string_view menuItem;                // empty: no menu assigns it
    std::string_view textKey;                 // empty: composed (shortcut, macro) or none
    FunctionMenus menus;
};

inline constexpr std::size_t kButtonFunctionCount = 63;

// By code, ascending.
inline constexpr std::array<ButtonFunction, kButtonFunctionCount> kButtonFunctions = {{
    {0, {0x01, 0x00, 0x00}, "ms_1_button_off", "button_off_text", FunctionMenus::kEveryMenu},
    {1, {0x02, 0x00, 0x00}, "ms_1_click", "left_click_text", FunctionMenus::kEveryMenu},
    {2, {0x03, 0x00, 0x00}, "ms_1_menu", "right_click_text", FunctionMenus::kEveryMenu},
    {3, {0x04, 0x00, 0x00}, "ms_1_scroll", "wheel_click_text", FunctionMenus::kEveryMenu},
    {4, {0x06, 0x00, 0x00}, "ms_1_forward", "forward_text", FunctionMenus::kEveryMenu},
    {5, {0x05, 0x00, 0x00}, "ms_1_backward", "backward_text", FunctionMenus::kEveryMenu},
    {6, {0x0D, 0x00, 0x00}, "ms_1_dpi_cycle", "dpi_cycle_text", FunctionMenus::kEveryMenu},
    {7, {0x0E, 0x00, 0x00}, "ms_1_dpi_up", "dpi_up_text", FunctionMenus::kEveryMenu},
    {8, {0x0F, 0x00, 0x00}, "ms_1_dpi_down", "dpi_down_text", FunctionMenus::kEveryMenu},
    {9, {0x07, 0x00, 0x00}, "ms_1_double_click", "double_click_text", FunctionMenus::kEveryMenu},
    {10, {0x08, 0x00, 0x00}, "ms_1_fire_button", "fire_button_text", FunctionMenus::kEveryMenu},
    {11, {0x09, 0x00, 0x00}, "ms_1_scroll_up", "scroll_up_text", FunctionMenus::kEveryMenu},
    {12, {0x0A, 0x00, 0x00}, "ms_1_scroll_down", "scroll_down_text", FunctionMenus::kEveryMenu},
    {13, {0x0B, 0x00, 0x00}, "ms_1_titl_left", "titl_left_text", FunctionMenus::kTiltMenu},
    {14, {0x0C, 0x00, 0x00}, "ms_1_titl_right", "titl_right_text", FunctionMenus::kTiltMenu},
    {16, {0x11, 0x00, 0x00}, "ms_1_shortcut", "", FunctionMenus::kEveryMenu},
    {17, {0x12, 0x00, 0x00}, "ms_1_select_macro", "", FunctionMenus::kEveryMenu},
    {19, {0x13, 0x00, 0x00}, "", "", FunctionMenus::kNoMenu},
    {21, {0x2B, 0x00, 0x00}, "", "", FunctionMenus::kNoMenu},
    {22, {0x10, 0x00, 0x03}, "ms_1_easy_aim", "easy_aim_text", FunctionMenus::kEveryMenu},
    {23, {0x29, 0x00, 0x03}, "ms_1_led_loop", "led_loop_text", FunctionMenus::kEveryMenu},
    {32, {0x11, 0x01, 0x1B}, "ms_1_cut", "cut_text", FunctionMenus::kEveryMenu},
    {33, {0x11, 0x01, 0x06}, "ms_1_copy", "copy_text", FunctionMenus::kEveryMenu},
    {34, {0x11, 0x01, 0x19}, "ms_1_paste", "paste_text", FunctionMenus::kEveryMenu},
    {35, {0x11, 0x01, 0x12}, "ms_1_open", "open_text", FunctionMenus::kEveryMenu},
    {36, {0x11, 0x01, 0x16}, "ms_1_save", "save_text", FunctionMenus::kEveryMenu},
    {37, {0x11, 0x01, 0x09}, "ms_1_find", "find_text", FunctionMenus::kEveryMenu},
    {38, {0x11, 0x01, 0x1C}, "ms_1_redo", "redo_text", FunctionMenus::kEveryMenu},
    {39, {0x11, 0x01, 0x1D}, "", "undo_text", FunctionMenus::kNoMenu},
    {40, {0x11, 0x01, 0x04}, "ms_1_select_all", "select_all_text", FunctionMenus::kEveryMenu},
    {41, {0x11, 0x01, 0x13}, "ms_1_print", "print_text", FunctionMenus::kEveryMenu},
    {42, {0x11, 0x04, 0x3D}, "ms_1_close_window", "close_window_text", FunctionMenus::kEveryMenu},
    {43, {0x11, 0x04, 0x2B}, "ms_1_swap_windows", "swap_windows_text", FunctionMenus::kEveryMenu},
    {44, {0x11, 0x08, 0x07}, "ms_1_show_desktop", "show_desktop_text", FunctionMenus::kEveryMenu},
    {45, {0x11, 0x08, 0x15}, "ms_1_run_command", "run_command_text", FunctionMenus::kEveryMenu},
    {46, {0x11, 0x08, 0x0F}, "ms_1_lock_pc", "lock_pc_text", FunctionMenus::kEveryMenu},
    {47, {0x11, 0x01, 0x11}, "", "", FunctionMenus::kNoMenu},
    {48, {0x11, 0x01, 0x2E}, "", "", FunctionMenus::kNoMenu},
    {49, {0x11, 0x01, 0x2D}, "", "", FunctionMenus::kNoMenu},
    {50,
     {0x11, 0x0A, 0x16},
     "ms_1_screen_capture",
     "screen_capture_text",
     FunctionMenus::kEveryMenu},
    {51, {0x00, 0x00, 0x00}, "", "task_view_text", FunctionMenus::kNoMenu},
    {54, {0x34, 0x00, 0x00}, "", "profile_cycle_text", FunctionMenus::kNoMenu},
    {55, {0x35, 0x00, 0x00}, "", "profile_up_text", FunctionMenus::kNoMenu},
    {56, {0x36, 0x00, 0x00}, "", "profile_down_text", FunctionMenus::kNoMenu},
    {64, {0x15, 0x00, 0x00}, "ms_1_media_player", "media_player_text", FunctionMenus::kEveryMenu},
    {65, {0x18, 0x00, 0x00}, "ms_1_play_pause", "play_pause_text", FunctionMenus::kEveryMenu},
    {66, {0x19, 0x00, 0x00}, "ms_1_media_stop", "media_stop_text", FunctionMenus::kEveryMenu},
    {67, {0x16, 0x00, 0x00}, "ms_1_pre_track", "previous_track_text", FunctionMenus::kEveryMenu},
    {68, {0x17, 0x00, 0x00}, "ms_1_next_track", "next_track_text", FunctionMenus::kEveryMenu},
    {69, {0x1B, 0x00, 0x00}, "ms_1_volume_up", "volume_up_text", FunctionMenus::kEveryMenu},
    {70, {0x1C, 0x00, 0x00}, "ms_1_volume_down", "volume_down_text", FunctionMenus::kEveryMenu},
    {71, {0x1A, 0x00, 0x00}, "ms_1_mute", "mute_text", FunctionMenus::kEveryMenu},
    {80, {0x25, 0x00, 0x00}, "ms_1_browser_home", "browser_home_text", FunctionMenus::kEveryMenu},
    {81,
     {0x11, 0x03, 0x12},
     "ms_1_browser_favorites",
     "browser_favorites_text",
     FunctionMenus::kEveryMenu},
    {82,
     {0x20, 0x00, 0x00},
     "ms_1_browser_forward",
     "browser_forward_text",
     FunctionMenus::kEveryMenu},
    {83,
     {0x21, 0x00, 0x00},
     "ms_1_browser_backward",
     "browser_backward_text",
     FunctionMenus::kEveryMenu},
    {84, {0x22, 0x00, 0x00}, "ms_1_browser_stop", "browser_stop_text", FunctionMenus::kEveryMenu},
    {85,
     {0x24, 0x00, 0x00},
     "ms_1_browser_refresh",
     "browser_refresh_text",
     FunctionMenus::kEveryMenu},
    {86,
     {0x26, 0x00, 0x00},
     "ms_1_browser_search",
     "browser_search_text",
     FunctionMenus::kEveryMenu},
    {87, {0x1E, 0x00, 0x00}, "ms_1_email", "email_text", FunctionMenus::kEveryMenu},
    {88, {0x1D, 0x00, 0x00}, "ms_1_calculator", "calculator_text", FunctionMenus::kEveryMenu},
    {89, {0x23, 0x00, 0x00}, "ms_1_my_computer", "my_computer_text", FunctionMenus::kEveryMenu},
    {115, {0x14, 0x00, 0x00}, "", "", FunctionMenus::kNoMenu},
}};

// The row of `code`; null for a code no row has.
const ButtonFunction* buttonFunction(std::uint8_t code);

}  // namespace tvq
