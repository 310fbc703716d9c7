// Live recording: the input hook's reports turned into macro actions, with
// the delay each one owes the action before it.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "base/clock.h"
#include "input/key_names.h"
#include "macros/macro_record.h"

namespace tvq {

// How a recording times the actions it adds.
enum class DelayMode {
    kRecorded,  // the time that really passed, at most 65,535 ms
    kDefault,   // the default delay typed in the editor
    kNone,      // the shortest delay, 10 ms
};

class MacroRecorder {
  public:
    static constexpr std::uint16_t kMinDelay = 10;
    static constexpr std::uint16_t kMaxDelay = 65535;

    MacroRecorder(const KeyNames& keys, const Clock& ticks) : keys_(keys), ticks_(ticks) {}

    void start(DelayMode mode, std::uint16_t defaultDelay);
    void stop();
    bool running() const { return running_; }

    // A report of the hook that repeats the one taken last (a held key
    // repeats its press, and a new recording may begin with the report the
    // previous one ended with): it is dropped.
    bool repeats(std::uintptr_t wParam, std::intptr_t lParam) const {
        return std::pair{wParam, lParam} == lastEvent_;
    }

    struct Event {
        MacroAction action;  // with the shortest delay: it is the last one
        std::uint16_t owed;  // the delay the action before it now has
    };
    // The action a report stands for, and the delay owed to the one before.
    Event take(std::uintptr_t wParam, std::intptr_t lParam);

  private:
    const KeyNames& keys_;
    const Clock& ticks_;
    bool running_ = false;
    DelayMode mode_ = DelayMode::kDefault;
    std::uint16_t defaultDelay_ = kMinDelay;
    std::uint32_t lastTime_ = 0;
    std::pair<std::uintptr_t, std::intptr_t> lastEvent_{0, 0};
};

}  // namespace tvq
