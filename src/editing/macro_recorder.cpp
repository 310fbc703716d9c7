#include "editing/macro_recorder.h"

#include <algorithm>

#include "input/hook_input.h"

namespace tvq {
namespace {

namespace m = layout::macro;

std::uint8_t buttonCode(HookButton button) {
    switch (button) {
        case HookButton::kLeft:
            return m::kLeftButton;
        case HookButton::kRight:
            return m::kRightButton;
        case HookButton::kMiddle:
            return m::kMiddleButton;
        case HookButton::kForward:
            return m::kForwardButton;
        case HookButton::kBack:
            return m::kBackwardButton;
        case HookButton::kNone:
            break;
    }
    return 0;
}

}  // namespace

void MacroRecorder::start(DelayMode mode, std::uint16_t defaultDelay) {
    running_ = true;
    mode_ = mode;
    defaultDelay_ = defaultDelay;
    lastTime_ = static_cast<std::uint32_t>(ticks_.nowMs());
}

void MacroRecorder::stop() {
    running_ = false;
    lastTime_ = 0;
}

MacroRecorder::Event MacroRecorder::take(std::uintptr_t wParam, std::intptr_t lParam) {
    lastEvent_ = {wParam, lParam};
    const HookInput in = decodeHookInput(wParam, lParam);
    std::uint8_t code = 0;
    bool press = false;
    if (in.kind == HookInput::Kind::kButton) {
        code = buttonCode(in.button);
        press = in.down;
    } else {
        // Keys, and reports that are no button (an X button of another
        // number), by their code: lParam 0 is a press.
        code = static_cast<std::uint8_t>(
            keys_.hidUsageFromVirtualKey(static_cast<std::uint32_t>(wParam)).usage);
        press = lParam == 0;
    }
    const auto now = static_cast<std::uint32_t>(ticks_.nowMs());
    std::uint16_t owed = kMinDelay;
    if (mode_ == DelayMode::kRecorded) {
        owed = static_cast<std::uint16_t>(std::min<std::uint32_t>(now - lastTime_, kMaxDelay));
    } else if (mode_ == DelayMode::kDefault) {
        owed = defaultDelay_;
    }
    lastTime_ = now;
    return {{code, press ? m::kPress : m::kRelease, kMinDelay}, owed};
}

}  // namespace tvq
