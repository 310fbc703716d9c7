#include "input/x11_virtual_keys.h"

#include <utility>

namespace tvq::x11keys {
namespace {

// Keysyms with a fixed virtual key.
constexpr std::pair<std::uint32_t, std::uint32_t> kKeysymKeys[] = {
    {0xff08, 0x08},  // BackSpace
    {0xff09, 0x09},  // Tab
    {0xfe20, 0x09},  // ISO_Left_Tab
    {0xff0d, 0x0D},  // Return
    {0xff8d, 0x0D},  // KP_Enter
    {0xff13, 0x13},  // Pause
    {0xff14, 0x91},  // Scroll_Lock
    {0xff1b, 0x1B},  // Escape
    {0x0020, 0x20},  // space
    {0xff50, 0x24},  // Home
    {0xff51, 0x25},  // Left
    {0xff52, 0x26},  // Up
    {0xff53, 0x27},  // Right
    {0xff54, 0x28},  // Down
    {0xff55, 0x21},  // Prior (Page Up)
    {0xff56, 0x22},  // Next (Page Down)
    {0xff57, 0x23},  // End
    {0xff61, 0x2C},  // Print
    {0xff15, 0x2C},  // Sys_Req
    {0xff63, 0x2D},  // Insert
    {0xffff, 0x2E},  // Delete
    {0xff67, 0x5D},  // Menu
    {0xff7f, 0x90},  // Num_Lock
    {0xffe5, 0x14},  // Caps_Lock
    {0xffe1, 0xA0},  // Shift_L
    {0xffe2, 0xA1},  // Shift_R
    {0xffe3, 0xA2},  // Control_L
    {0xffe4, 0xA3},  // Control_R
    {0xffe9, 0xA4},  // Alt_L
    {0xffea, 0xA5},  // Alt_R
    {0xfe03, 0xA5},  // ISO_Level3_Shift (AltGr)
    {0xffeb, 0x5B},  // Super_L
    {0xffec, 0x5C},  // Super_R
    {0xffe7, 0x5B},  // Meta_L
    {0xffe8, 0x5C},  // Meta_R
    // The keypad, with Num Lock on or off.
    {0xff9e, 0x60},
    {0xff9c, 0x61},
    {0xff99, 0x62},
    {0xff9b, 0x63},
    {0xff96, 0x64},
    {0xff9d, 0x65},
    {0xff98, 0x66},
    {0xff95, 0x67},
    {0xff97, 0x68},
    {0xff9a, 0x69},
    {0xff9f, 0x6E},  // KP_Delete
    {0xffaa, 0x6A},  // KP_Multiply
    {0xffab, 0x6B},  // KP_Add
    {0xffad, 0x6D},  // KP_Subtract
    {0xffae, 0x6E},  // KP_Decimal
    {0xffac, 0x6E},  // KP_Separator
    {0xffaf, 0x6F},  // KP_Divide
};

// evdev code -> virtual key of the US key at that position.
constexpr std::pair<std::uint32_t, std::uint32_t> kUsPositions[] = {
    {2, 0x31},  {3, 0x32},  {4, 0x33},  {5, 0x34},  {6, 0x35},  {7, 0x36},  {8, 0x37},  {9, 0x38},
    {10, 0x39}, {11, 0x30}, {12, 0xBD}, {13, 0xBB}, {16, 0x51}, {17, 0x57}, {18, 0x45}, {19, 0x52},
    {20, 0x54}, {21, 0x59}, {22, 0x55}, {23, 0x49}, {24, 0x4F}, {25, 0x50}, {26, 0xDB}, {27, 0xDD},
    {30, 0x41}, {31, 0x53}, {32, 0x44}, {33, 0x46}, {34, 0x47}, {35, 0x48}, {36, 0x4A}, {37, 0x4B},
    {38, 0x4C}, {39, 0xBA}, {40, 0xDE}, {41, 0xC0}, {43, 0xDC}, {44, 0x5A}, {45, 0x58}, {46, 0x43},
    {47, 0x56}, {48, 0x42}, {49, 0x4E}, {50, 0x4D}, {51, 0xBC}, {52, 0xBE}, {53, 0xBF}, {86, 0xE2},
};

}  // namespace

std::uint32_t virtualKeyFor(std::uint32_t keysym, std::uint32_t evdevCode) {
    if (keysym >= 'a' && keysym <= 'z') {
        return 0x41 + (keysym - 'a');
    }
    if ((keysym >= 'A' && keysym <= 'Z') || (keysym >= '0' && keysym <= '9')) {
        return keysym;
    }
    if (keysym >= 0xffbe && keysym <= 0xffc9) {  // F1..F12
        return 0x70 + (keysym - 0xffbe);
    }
    if (keysym >= 0xffb0 && keysym <= 0xffb9) {  // KP_0..KP_9
        return 0x60 + (keysym - 0xffb0);
    }
    for (const auto& [sym, vk] : kKeysymKeys) {
        if (sym == keysym) {
            return vk;
        }
    }
    for (const auto& [code, vk] : kUsPositions) {
        if (code == evdevCode) {
            return vk;
        }
    }
    return 0;
}

char32_t deadKeySpacingForm(std::uint32_t keysym) {
    switch (keysym) {
        case 0xfe50:
            return U'`';  // dead_grave
        case 0xfe51:
            return U'\u00B4';  // dead_acute
        case 0xfe52:
            return U'^';  // dead_circumflex
        case 0xfe53:
            return U'~';  // dead_tilde
        case 0xfe54:
            return U'\u00AF';  // dead_macron
        case 0xfe55:
            return U'\u02D8';  // dead_breve
        case 0xfe56:
            return U'\u02D9';  // dead_abovedot
        case 0xfe57:
            return U'\u00A8';  // dead_diaeresis
        case 0xfe58:
            return U'\u00B0';  // dead_abovering
        case 0xfe59:
            return U'\u02DD';  // dead_doubleacute
        case 0xfe5a:
            return U'\u02C7';  // dead_caron
        case 0xfe5b:
            return U'\u00B8';  // dead_cedilla
        case 0xfe5c:
            return U'\u02DB';  // dead_ogonek
        default:
            return 0;
    }
}

}  // namespace tvq::x11keys
