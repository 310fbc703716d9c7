// The macro editor's input: keys captured for the in-place editor's key
// field, and live recording, both through the input hook.
#include <algorithm>

#include "base/debug.h"
#include "editing/macro_editor.h"
#include "input/hook_input.h"

namespace tvq {

namespace me = macroeditor;

namespace {

constexpr int kRecordingStopLength = ActionList::kMax;  // weighted length that ends a recording
constexpr std::uint8_t kSpaceUsage = 0x2C;              // HID usage of Space, which works a button

}  // namespace

void MacroEditor::keyFieldFocused(bool in) {
    if (!in) {
        if (captureForKeyEdit_) {
            captureForKeyEdit_ = false;
            capture_.reset();
        }
        return;
    }
    if (recorder_.running() || captureForKeyEdit_) {
        return;  // the recording keeps the hook
    }
    captureForKeyEdit_ = true;
    capture_.emplace(hook_, hookTarget_);
}

void MacroEditor::onOwnKey(std::uint32_t virtualKey) {
    if (recorder_.running()) {
        return;
    }
    const auto code = static_cast<std::uint8_t>(keys_.hidUsageFromVirtualKey(virtualKey).usage);
    view_.setFieldText(me::kKeyField, keys_.keyNameFromCode(code));
    setActionCode(code);
}

void MacroEditor::onHookInput(std::uintptr_t wParam, std::intptr_t lParam) {
    if (recorder_.running()) {
        onRecordEvent(wParam, lParam);
    } else if (captureForKeyEdit_) {
        const HookInput in = decodeHookInput(wParam, lParam);
        if (in.kind == HookInput::Kind::kKey) {  // a click is no key
            onOwnKey(in.virtualKey);
        }
    }
}

// Recording.

void MacroEditor::onRecordButton(RecordInput by) {
    if (!canRecord()) {
        view_.checkControl(me::kRecord, false);
        dialogs_.tell("record_no_hook_text");
        return;
    }
    if (current_ == nullptr) {
        if (refusedAtTheLimit()) {
            view_.checkControl(me::kRecord, false);
            return;  // no new macro to record into
        }
        addMacro();
    }
    if (recorder_.running()) {
        dropStoppingInput(by);
        stopRecording();
        return;
    }
    if (selectedAction_ < 0) {
        work_.clear();
        insertIndex_ = -1;
        insertMode_ = false;
    } else {
        insertIndex_ = selectedAction_ + 1;
        insertMode_ = true;
    }
    recordStart_ = insertIndex_;
    startRecording();
}

void MacroEditor::startRecording() {
    keyFieldFocused(false);
    view_.checkControl(me::kRecord, true);
    view_.setFieldText(me::kRecord, texts_.text("stop_recording_text"));
    recorder_.start(delayMode_, defaultDelayValue());
    recordedActions_ = 0;
    capture_.emplace(hook_, hookTarget_);
    // The click that started it may still be on its way, and the one that
    // stops it will come here: mouse buttons count only away from the button.
    mouseRecorded_ = !pointerOnRecord_;
    hook_.enableMouse(mouseRecorded_);
    hook_.enableWheel(false);
}

void MacroEditor::onRecordButtonHover(bool entered) {
    pointerOnRecord_ = entered;
    if (recorder_.running()) {
        mouseRecorded_ = !entered;
        hook_.enableMouse(mouseRecorded_);
    }
}

void MacroEditor::dropStoppingInput(RecordInput by) {
    std::uint8_t code = 0;
    if (by == RecordInput::kKeyboard) {
        code = kSpaceUsage;
    } else if (by == RecordInput::kPointer && mouseRecorded_) {
        code = layout::macro::kLeftButton;  // the pointer came faster than its enter event
    } else {
        return;
    }
    // The recording's newest action sits before the insertion point.
    const auto newest = [this] {
        return insertIndex_ == -1 ? work_.count() - 1 : insertIndex_ - 1;
    };
    const auto ends = [&](int back, std::uint8_t type) {
        const int at = newest() - (back - 1);
        return recordedActions_ >= back && at >= 0 && work_.at(at).code == code &&
               work_.at(at).type == type;
    };
    int drop = 0;
    if (ends(1, layout::macro::kPress)) {
        drop = 1;
    } else if (ends(2, layout::macro::kPress) && ends(1, layout::macro::kRelease)) {
        drop = 2;
    }
    for (; drop > 0; --drop) {
        work_.erase(newest());
        --recordedActions_;
        --selectedAction_;
        if (insertIndex_ != -1) {
            --insertIndex_;
        }
    }
}

void MacroEditor::onRecordEvent(std::uintptr_t wParam, std::intptr_t lParam) {
    if (recorder_.repeats(wParam, lParam)) {
        return;  // a held key repeats its press
    }
    const MacroRecorder::Event event = recorder_.take(wParam, lParam);
    // A release whose press came before the recording (the key or click
    // that started it, a key already held) is left out.
    if (event.action.type == layout::macro::kRelease && recordedActions_ == 0) {
        return;
    }
    const int length = work_.weightedLength();
    debug::write("recording: weighted length " + std::to_string(length) + "\n");
    if (length >= kRecordingStopLength) {
        stopRecording();
        return;
    }
    // The action before the new one owes it the delay.
    if (insertIndex_ == -1) {
        if (work_.count() >= 1) {
            work_.at(work_.count() - 1).delay = event.owed;
        }
    } else if (insertIndex_ == recordStart_) {
        if (insertIndex_ < ActionList::kMax) {
            work_.at(insertIndex_).delay = event.owed;
        }
    } else if (insertIndex_ >= 1) {
        work_.at(insertIndex_ - 1).delay = event.owed;
    }
    if (insertAction(event.action)) {
        ++recordedActions_;
    }
    if (work_.full()) {
        stopRecording();
    }
    rebuild();
}

void MacroEditor::stopRecording() {
    recorder_.stop();
    view_.setFieldText(me::kRecord, texts_.text("start_recording_text"));
    view_.checkControl(me::kRecord, false);
    hook_.removeMouse();
    hook_.enableMouse(false);
    capture_.reset();
    hook_.enableWheel(false);
    commit();
}

}  // namespace tvq
