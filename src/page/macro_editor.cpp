#include "page/macro_editor.h"

#include <algorithm>
#include <utility>

#include "base/debug.h"
#include "base/text.h"
#include "input/hook_input.h"
#include "macros/macro_record.h"
#include "page/colour_channels.h"

namespace tvq {

namespace me = macroeditor;
namespace m = layout::macro;

namespace {

constexpr int kMaxActions = static_cast<int>(m::kMaxActions);
constexpr int kRecordingStopLength = kMaxActions;  // weighted length that ends a recording
constexpr std::uint16_t kMaxDelay = 65535;

// The mouse codes of the insert buttons and of the combo's items, in order.
constexpr std::uint8_t kMouseCodes[me::kInsertButtonCount] = {
    m::kLeftButton, m::kRightButton, m::kMiddleButton, m::kForwardButton, m::kBackwardButton};

int comboItemOf(std::uint8_t code) {
    for (int i = 0; i < me::kInsertButtonCount; ++i) {
        if (kMouseCodes[i] == code) {
            return i;
        }
    }
    return 0;
}

// The last report taken by any recording of this program run: a recording
// that starts with the very report the previous one ended with drops it.
std::pair<std::uintptr_t, std::intptr_t> lastEventPair{0, 0};

std::string insertButton(int n) {
    return std::string(me::kInsertButton) + std::to_string(n) + "_btn";
}

}  // namespace

MacroEditor::MacroEditor(MacroEditorView& view, MacroHook& hook, MacroEditorDialogs& dialogs,
                         MacroStore& store, FileSystem& files, const TextSource& texts,
                         const KeyNames& keys, const Clock& ticks)
    : view_(view),
      hook_(hook),
      dialogs_(dialogs),
      store_(store),
      files_(files),
      texts_(texts),
      keys_(keys),
      ticks_(ticks) {}

void MacroEditor::open(bool wayland) {
    for (std::size_t i = 0; i < store_.size(); ++i) {
        view_.appendMacroRow(utf8FromUtf16(fieldText(store_.at(i).name)), me::kFirstMacroRowHeight);
    }
    view_.selectMacroRow(-1);
    view_.setText(me::kRecord, texts_.text("start_recording_text"));
    view_.setText(me::kDefaultDelayEdit, std::to_string(me::kMinDelay));
    view_.setVisible(me::kMouseEventTab, false);
    view_.setVisible(me::kNameTab, true);
    view_.setVisible(me::kWaylandNote, wayland);
    view_.showEditPage(me::kPageClosed);
}

void MacroEditor::close() {
    if (recording_) {
        stopRecording();  // what was recorded is kept
    }
    stopKeyCapture();
}

void MacroEditor::onClick(std::string_view c) {
    if (c == me::kAdd) {
        addMacro();
    } else if (c == me::kDelete) {
        deleteMacro();
    } else if (c == me::kUp) {
        moveAction(-1);
    } else if (c == me::kDown) {
        moveAction(1);
    } else if (c == me::kDeleteAction) {
        deleteAction();
    } else if (c == me::kClear) {
        clearActions();
    } else if (c == me::kRecordDelay) {
        delayMode_ = 0;
    } else if (c == me::kDefaultDelay) {
        delayMode_ = 1;
    } else if (c == me::kNoDelay) {
        delayMode_ = 2;
    } else if (c == me::kSave) {
        commit();
        editMode_ = false;
        view_.setChecked(me::kEditCheck, false);
        view_.showEditPage(me::kPageClosed);
    } else if (c == me::kCancel) {
        cancelling_ = true;
        editMode_ = false;
        view_.setChecked(me::kEditCheck, false);
        view_.showEditPage(me::kPageClosed);
        if (selectedMacro_ >= 0) {
            loadMacro(selectedMacro_);
        }
        cancelling_ = false;
    } else if (c == me::kImport) {
        importMacro();
    } else if (c == me::kExport) {
        exportMacro();
    } else {
        for (int n = 1; n <= me::kInsertButtonCount; ++n) {
            if (c == insertButton(n)) {
                insertClick(n);
            }
        }
    }
}

void MacroEditor::onCheckClick(std::string_view c, bool checked) {
    if (c == me::kInsertMouse) {
        view_.setVisible(me::kMouseEventTab, checked);
        view_.setVisible(me::kNameTab, !checked);
    } else if (c == me::kRecord) {
        onRecordButton();
    } else if (c == me::kEditCheck) {
        editMode_ = checked;
        if (selectedAction_ < 0) {
            editMode_ = false;
            view_.setChecked(me::kEditCheck, false);
            return;
        }
        if (editMode_) {
            fillEditor();
        } else {
            view_.showEditPage(me::kPageClosed);
        }
    }
}

// Macros.

void MacroEditor::addMacro() {
    MacroRecord& added = store_.addNew();
    reportSave();
    view_.appendMacroRow(utf8FromUtf16(fieldText(added.name)), me::kAddedMacroRowHeight);
    const int row = static_cast<int>(store_.size()) - 1;
    view_.selectMacroRow(row);
    onMacroSelect(row);
    view_.scrollMacroListToEnd();
}

void MacroEditor::deleteMacro() {
    int row = selectedMacro_;
    if (row < 0 || static_cast<std::size_t>(row) >= store_.size() ||
        !dialogs_.confirm("delete_macro_text")) {
        return;
    }
    if (recording_) {
        stopRecording();
    }
    current_ = nullptr;  // the record goes with the row
    store_.removeAt(static_cast<std::size_t>(row));
    reportSave();
    view_.removeMacroRow(row);
    if (static_cast<std::size_t>(row) >= store_.size()) {
        row -= 1;
    }
    view_.selectMacroRow(row);
    if (row >= 0) {
        onMacroSelect(row);
    } else {
        selectedMacro_ = -1;
        selectedAction_ = -1;
        count_ = 0;
        work_ = {};
        view_.clearActionRows();
        view_.setText(me::kNameEdit, "");
    }
}

void MacroEditor::onMacroSelect(int row) {
    if (recording_) {
        stopRecording();  // the recording belongs to the macro it was made for
    }
    loadMacro(row);
}

void MacroEditor::loadMacro(int row) {
    selectedMacro_ = row;
    if (store_.size() == 0 || row < 0 || static_cast<std::size_t>(row) >= store_.size()) {
        current_ = nullptr;
        return;
    }
    current_ = &store_.at(static_cast<std::size_t>(row));
    work_ = current_->actions;
    count_ = std::clamp(current_->actionCount, 0, kMaxActions);
    if (count_ == 0) {
        selectedAction_ = -1;
    }
    view_.setText(me::kNameEdit, utf8FromUtf16(fieldText(current_->name)));
    rebuild();
}

void MacroEditor::rename() {
    if (current_ == nullptr) {
        return;
    }
    const std::u16string typed = utf16FromUtf8(view_.text(me::kNameEdit));
    const std::u16string_view name = fieldText(current_->name);
    if (equalIgnoringCase(typed, name)) {
        return;  // a change of letter case only is not stored
    }
    if (store_.nameExists(typed)) {
        view_.setText(me::kNameEdit, utf8FromUtf16(name));
        return;
    }
    setFieldText(current_->name, typed);
    commit();
    if (current_ != nullptr) {
        view_.setMacroRowText(selectedMacro_, utf8FromUtf16(fieldText(current_->name)));
        view_.setText(me::kNameEdit, utf8FromUtf16(fieldText(current_->name)));
    }
}

// The action list.

ActionRowText MacroEditor::rowText(int index) const {
    const MacroAction& a = work_[static_cast<std::size_t>(index)];
    ActionRowText row;
    row.key = keys_.keyNameFromCode(a.code);
    row.mouse = isMouseCode(a.code);
    row.press = a.type == m::kPress;
    row.action = texts_.text(row.press ? "key_down_action" : "key_up_action");
    row.delay = index == count_ - 1 ? std::to_string(me::kMinDelay) : std::to_string(a.delay);
    return row;
}

void MacroEditor::rebuild() {
    std::vector<ActionRowText> rows;
    rows.reserve(static_cast<std::size_t>(count_));
    for (int i = 0; i < count_; ++i) {
        rows.push_back(rowText(i));
    }
    view_.setActionRows(rows);
    if (cancelling_ && recordStart_ >= 0) {
        selectAction(recordStart_);
        view_.startTimer(me::kTimerShowRecordStart, me::kListTimerMs);
    } else if (insertMode_) {
        selectAction(insertIndex_ - 1);
        view_.startTimer(me::kTimerShowInserted, me::kListTimerMs);
    } else {
        selectAction(count_ - 1);
        view_.scrollActionListToEnd();
    }
}

void MacroEditor::selectAction(int row) {
    if (row >= count_) {
        row = count_ - 1;
    }
    view_.selectActionRow(row);
    onActionSelect(row);
}

void MacroEditor::onActionSelect(int row) {
    selectedAction_ = row < count_ ? row : -1;
    if (editMode_) {
        fillEditor();
    }
}

void MacroEditor::onTimer(int id) {
    view_.stopTimer(id);
    if (id == me::kTimerShowInserted && insertIndex_ >= 1) {
        view_.scrollActionRowIntoView(insertIndex_ - 1);
    } else if (id == me::kTimerShowRecordStart && recordStart_ >= 0) {
        view_.scrollActionRowIntoView(recordStart_);
    }
}

bool MacroEditor::insertAction(const MacroAction& action) {
    if (count_ > kMaxActions - 1) {
        return false;
    }
    const int position = insertIndex_ == -1 ? count_ : std::clamp(insertIndex_, 0, count_);
    for (int i = count_; i > position; --i) {
        work_[static_cast<std::size_t>(i)] = work_[static_cast<std::size_t>(i - 1)];
    }
    work_[static_cast<std::size_t>(position)] = action;
    ++count_;
    ++selectedAction_;
    if (insertIndex_ != -1) {
        ++insertIndex_;
    }
    return true;
}

std::uint16_t MacroEditor::defaultDelayValue() const {
    return static_cast<std::uint16_t>(leadingNumber(view_.text(me::kDefaultDelayEdit)) & 0xFFFF);
}

void MacroEditor::insertClick(int button) {
    if (current_ == nullptr || count_ > kMaxActions - 1) {
        return;
    }
    const std::uint8_t code = kMouseCodes[button - 1];
    insertIndex_ = selectedAction_ + 1;
    insertMode_ = true;
    const std::uint16_t delay = delayMode_ == 1 ? defaultDelayValue() : me::kMinDelay;
    if (count_ + 2 > kMaxActions) {
        return;
    }
    insertAction({code, m::kPress, delay});
    insertAction({code, m::kRelease, delay});
    rebuild();
    commit();
    insertMode_ = false;
}

void MacroEditor::moveAction(int by) {
    const int r = selectedAction_;
    const int to = r + by;
    if (r < 0 || r >= count_ || to < 0 || to >= count_) {
        return;
    }
    std::swap(work_[static_cast<std::size_t>(r)], work_[static_cast<std::size_t>(to)]);
    view_.setActionRow(r, rowText(r));
    view_.setActionRow(to, rowText(to));
    view_.selectActionRow(to);
    onActionSelect(to);
    commit();
}

void MacroEditor::deleteAction() {
    const int s = selectedAction_;
    if (s < 0 || s >= count_) {
        return;
    }
    for (int i = s; i < count_ - 1; ++i) {
        work_[static_cast<std::size_t>(i)] = work_[static_cast<std::size_t>(i + 1)];
    }
    work_[static_cast<std::size_t>(count_ - 1)] = MacroAction{};
    --count_;
    view_.removeActionRow(s);
    if (count_ < 1) {
        selectedAction_ = -1;
    }
    // The row that is last now shows the last action's delay.
    if (count_ >= 1) {
        view_.setActionRow(count_ - 1, rowText(count_ - 1));
    }
    const int next = std::min(s, count_ - 1);
    view_.selectActionRow(next);
    onActionSelect(next);
    commit();
}

void MacroEditor::clearActions() {
    if (current_ == nullptr) {
        return;
    }
    work_ = {};
    count_ = 0;
    insertMode_ = false;
    insertIndex_ = -1;
    selectedAction_ = -1;
    commit();
    rebuild();
}

void MacroEditor::reportSave() {
    if (!store_.lastSaveFailed()) {
        toldSaveFailed_ = false;
    } else if (!toldSaveFailed_) {
        toldSaveFailed_ = true;  // once until a save works again
        dialogs_.tell("macro_store_save_failed_text");
    }
}

void MacroEditor::commit() {
    if (store_.commit(current_, work_, count_)) {
        reportSave();
        return;
    }
    // Too long for the mouse: the stored macro comes back.
    if (selectedMacro_ >= 0) {
        loadMacro(selectedMacro_);
    }
    cancelling_ = false;
}

// The in-place editor.

void MacroEditor::fillEditor() {
    const int s = selectedAction_;
    if (s < 0 || s >= count_) {
        return;
    }
    const MacroAction& a = work_[static_cast<std::size_t>(s)];
    const bool last = s == count_ - 1;
    const std::string delay = last ? std::to_string(me::kMinDelay) : std::to_string(a.delay);
    if (isMouseCode(a.code)) {
        view_.showEditPage(me::kPageMouse);
        view_.selectMouseComboItem(comboItemOf(a.code));
        view_.setText(me::kMouseDelay, delay);
        view_.setEnabled(me::kMouseDelay, !last);
    } else {
        view_.showEditPage(me::kPageKey);
        view_.setText(me::kKeyField, keys_.keyNameFromCode(a.code));
        view_.setText(me::kKeyDelay, delay);
        view_.setEnabled(me::kKeyDelay, !last);
    }
}

void MacroEditor::onMouseComboSelect(int item) {
    if (item < 0 || item >= me::kInsertButtonCount) {
        return;
    }
    setActionCode(kMouseCodes[item]);
}

void MacroEditor::setActionCode(std::uint8_t code) {
    const int s = selectedAction_;
    if (s >= 0 && s < count_) {
        work_[static_cast<std::size_t>(s)].code = code;
        view_.setActionRow(s, rowText(s));
    }
    commit();
}

void MacroEditor::takeDelay(std::string_view field) {
    const std::int64_t typed = leadingNumber(view_.text(field));
    const auto delay =
        static_cast<std::uint16_t>(std::clamp<std::int64_t>(typed, me::kMinDelay, kMaxDelay));
    const int s = selectedAction_;
    if (s >= 0 && s < count_ - 1) {
        work_[static_cast<std::size_t>(s)].delay = delay;
        view_.setActionRow(s, rowText(s));
        if (field == me::kMouseDelay) {
            view_.setText(field, std::to_string(delay));
        }
    }
    commit();
}

void MacroEditor::onFocus(std::string_view c, bool in) {
    if (c == me::kNameEdit && !in) {
        rename();
    } else if (c == me::kDefaultDelayEdit && !in) {
        if (leadingNumber(view_.text(c)) <= 9) {
            view_.setText(c, std::to_string(me::kMinDelay));
        }
    } else if ((c == me::kKeyDelay || c == me::kMouseDelay) && !in) {
        takeDelay(c);
    } else if (c == me::kKeyField) {
        in ? startKeyCapture() : stopKeyCapture();
    }
}

void MacroEditor::startKeyCapture() {
    if (recording_) {
        return;  // the recording keeps the hook
    }
    captureForRecording_ = false;
    captureForKeyEdit_ = true;
    keyCaptureHooked_ = true;
    hook_.install();
    hook_.enableKeys(true);
}

void MacroEditor::stopKeyCapture() {
    captureForKeyEdit_ = false;
    if (keyCaptureHooked_) {
        keyCaptureHooked_ = false;
        hook_.remove();
        hook_.enableKeys(false);
    }
}

void MacroEditor::onOwnKey(std::uint32_t virtualKey) {
    if (recording_) {
        return;
    }
    const auto code = static_cast<std::uint8_t>(keys_.hidUsageFromVirtualKey(virtualKey).usage);
    view_.setText(me::kKeyField, keys_.keyNameFromCode(code));
    setActionCode(code);
}

void MacroEditor::onHookInput(std::uintptr_t wParam, std::intptr_t lParam) {
    if (captureForRecording_) {
        onRecordEvent(wParam, lParam);
    } else if (captureForKeyEdit_) {
        const HookInput in = decodeHookInput(wParam, lParam);
        if (in.kind == HookInput::Kind::kKey) {  // a click is no key
            onOwnKey(in.virtualKey);
        }
    }
}

// Recording.

void MacroEditor::onRecordButton() {
    if (!hook_.available()) {
        view_.setChecked(me::kRecord, false);
        dialogs_.tell("record_no_hook_text");
        return;
    }
    if (current_ == nullptr) {
        addMacro();
    }
    if (recording_) {
        stopRecording();
        return;
    }
    if (selectedAction_ < 0) {
        count_ = 0;
        work_ = {};
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
    stopKeyCapture();
    recording_ = true;
    hasPreviousEvent_ = true;
    view_.setChecked(me::kRecord, true);
    view_.setText(me::kRecord, texts_.text("stop_recording_text"));
    defaultDelay_ = defaultDelayValue();
    captureForRecording_ = true;
    captureForKeyEdit_ = false;
    hook_.install();
    hook_.enableKeys(true);
    hook_.enableWheel(false);
    lastEventTime_ = static_cast<std::uint32_t>(ticks_.nowMs());
}

void MacroEditor::onRecordButtonHover(bool entered) {
    // The clicks that start and stop a recording are not part of it.
    if (recording_) {
        hook_.enableMouse(!entered);
    }
}

void MacroEditor::onRecordEvent(std::uintptr_t wParam, std::intptr_t lParam) {
    if (std::pair{wParam, lParam} == lastEventPair) {
        return;  // a held key repeats its press
    }
    lastEventPair = {wParam, lParam};
    const int length = weightedLength(std::span(work_.data(), static_cast<std::size_t>(count_)));
    debug::write("iTotalNum = " + std::to_string(length) + "\r\n");
    if (length >= kRecordingStopLength) {
        stopRecording();
        return;
    }
    const HookInput in = decodeHookInput(wParam, lParam);
    std::uint8_t code = 0;
    bool press = false;
    if (in.kind == HookInput::Kind::kButton) {
        switch (in.button) {
            case HookButton::kLeft:
                code = m::kLeftButton;
                break;
            case HookButton::kRight:
                code = m::kRightButton;
                break;
            case HookButton::kMiddle:
                code = m::kMiddleButton;
                break;
            case HookButton::kForward:
                code = m::kForwardButton;
                break;
            case HookButton::kBack:
                code = m::kBackwardButton;
                break;
            case HookButton::kNone:
                break;
        }
        press = in.down;
    } else {
        // Keys, and reports that are no button (an X button of another
        // number), by their code: lParam 0 is a press.
        code = static_cast<std::uint8_t>(
            keys_.hidUsageFromVirtualKey(static_cast<std::uint32_t>(wParam)).usage);
        press = lParam == 0;
    }
    const std::uint32_t now = static_cast<std::uint32_t>(ticks_.nowMs());
    std::uint16_t owed = me::kMinDelay;
    if (hasPreviousEvent_) {
        if (delayMode_ == 0) {
            owed = static_cast<std::uint16_t>(
                std::min<std::uint32_t>(now - lastEventTime_, kMaxDelay));
        } else if (delayMode_ == 1) {
            owed = defaultDelay_;
        }
        if (insertIndex_ == -1) {
            if (count_ >= 1 && count_ <= kMaxActions) {
                work_[static_cast<std::size_t>(count_ - 1)].delay = owed;
            }
        } else if (insertIndex_ == recordStart_) {
            if (insertIndex_ < kMaxActions) {
                work_[static_cast<std::size_t>(insertIndex_)].delay = owed;
            }
        } else if (insertIndex_ >= 1) {
            work_[static_cast<std::size_t>(insertIndex_ - 1)].delay = owed;
        }
    }
    const int position = insertIndex_ == -1 ? count_ : insertIndex_;
    if (insertAction({code, press ? m::kPress : m::kRelease, owed})) {
        work_[static_cast<std::size_t>(position)].delay = me::kMinDelay;
    }
    lastEventTime_ = now;
    hasPreviousEvent_ = true;
    if (count_ >= kMaxActions) {
        stopRecording();
    }
    rebuild();
}

void MacroEditor::stopRecording() {
    lastEventTime_ = 0;
    recording_ = false;
    view_.setText(me::kRecord, texts_.text("start_recording_text"));
    view_.setChecked(me::kRecord, false);
    hook_.remove();
    hook_.removeMouse();
    hook_.enableMouse(false);
    hook_.enableKeys(false);
    hook_.enableWheel(false);
    captureForRecording_ = false;
    hasPreviousEvent_ = false;
    commit();
}

// Macro files.

void MacroEditor::exportMacro() {
    if (current_ == nullptr) {
        return;
    }
    std::optional<std::string> path = dialogs_.chooseMacroFile(true);
    if (!path || path->empty()) {
        return;
    }
    const std::size_t slash = path->find_last_of('/');
    const std::string_view file =
        std::string_view(*path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (file.find('.') == std::string_view::npos) {
        *path += ".macro";
    }
    const auto bytes = encodeMacro(*current_);
    // The file is replaced in one step: a failed write leaves the old one.
    if (!files_.replaceFile(*path, bytes)) {
        dialogs_.tell("macro_export_failed_text");
    }
}

void MacroEditor::importMacro() {
    const std::optional<std::string> path = dialogs_.chooseMacroFile(false);
    if (!path) {
        return;
    }
    const std::optional<std::uint64_t> size = files_.regularFileSize(*path);
    std::optional<std::vector<std::uint8_t>> bytes;
    if (size && *size == m::kSize) {
        bytes = files_.readFile(*path);
    }
    std::optional<MacroRecord> record;
    if (bytes) {
        record = parseMacroFile(*bytes);
    }
    if (!record) {
        dialogs_.tell("macro_import_failed_text");
        return;
    }
    setFieldText(record->name, store_.makeUniqueName(fieldText(record->name)));
    store_.append(*record);
    reportSave();
    view_.appendMacroRow(utf8FromUtf16(fieldText(record->name)), me::kAddedMacroRowHeight);
    const int row = static_cast<int>(store_.size()) - 1;
    view_.selectMacroRow(row);
    onMacroSelect(row);
    view_.scrollMacroListToEnd();
}

}  // namespace tvq
