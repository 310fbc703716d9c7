// What the input-hook library reports to a window (TVQ_HOOK_MESSAGE), decoded:
//   key            wParam = virtual-key code, lParam = 0 down / 1 up
//   left button    wParam = 0x201 down, 0x202 up
//   right button   wParam = 0x204 down, 0x205 up
//   middle button  wParam = 0x207 down, 0x208 up
//   side buttons   wParam = 0x20B down, 0x20C up; lParam = 1 forward, 2 back
//   wheel          wParam = 0x20A vertical, 0x20E horizontal; lParam = +1 / -1
#pragma once

#include <cstdint>

namespace tvq {

namespace hookmsg {
inline constexpr std::uintptr_t kLeftDown = 0x201;
inline constexpr std::uintptr_t kLeftUp = 0x202;
inline constexpr std::uintptr_t kRightDown = 0x204;
inline constexpr std::uintptr_t kRightUp = 0x205;
inline constexpr std::uintptr_t kMiddleDown = 0x207;
inline constexpr std::uintptr_t kMiddleUp = 0x208;
inline constexpr std::uintptr_t kWheel = 0x20A;
inline constexpr std::uintptr_t kSideDown = 0x20B;
inline constexpr std::uintptr_t kSideUp = 0x20C;
inline constexpr std::uintptr_t kHorizontalWheel = 0x20E;
inline constexpr std::intptr_t kKeyUp = 1;
inline constexpr std::intptr_t kSideForward = 1;
inline constexpr std::intptr_t kSideBack = 2;
// Virtual-key codes are below this; the mouse's reports are above.
inline constexpr std::uintptr_t kFirstMouseReport = 0x100;
}  // namespace hookmsg

enum class HookButton { kNone, kLeft, kRight, kMiddle, kForward, kBack };

struct HookInput {
    enum class Kind { kKey, kButton, kWheel, kUnknown } kind = Kind::kUnknown;
    std::uint32_t virtualKey = 0;           // kKey
    HookButton button = HookButton::kNone;  // kButton
    bool down = false;                      // kKey, kButton
};

constexpr HookInput decodeHookInput(std::uintptr_t wParam, std::intptr_t lParam) {
    using namespace hookmsg;
    HookInput in;
    if (wParam < kFirstMouseReport) {
        in.kind = HookInput::Kind::kKey;
        in.virtualKey = static_cast<std::uint32_t>(wParam);
        in.down = lParam != kKeyUp;
        return in;
    }
    in.kind = HookInput::Kind::kButton;
    switch (wParam) {
        case kLeftDown:
        case kLeftUp:
            in.button = HookButton::kLeft;
            in.down = wParam == kLeftDown;
            break;
        case kRightDown:
        case kRightUp:
            in.button = HookButton::kRight;
            in.down = wParam == kRightDown;
            break;
        case kMiddleDown:
        case kMiddleUp:
            in.button = HookButton::kMiddle;
            in.down = wParam == kMiddleDown;
            break;
        case kSideDown:
        case kSideUp:
            in.button = lParam == kSideForward ? HookButton::kForward
                        : lParam == kSideBack  ? HookButton::kBack
                                               : HookButton::kNone;
            in.down = wParam == kSideDown;
            if (in.button == HookButton::kNone) {
                in.kind = HookInput::Kind::kUnknown;
            }
            break;
        case kWheel:
        case kHorizontalWheel:
            in.kind = HookInput::Kind::kWheel;
            break;
        default:
            in.kind = HookInput::Kind::kUnknown;
            break;
    }
    return in;
}

}  // namespace tvq
