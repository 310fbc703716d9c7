#include "editing/macro_editor.h"

#include <algorithm>
#include <utility>

#include "base/debug.h"
#include "base/text.h"
#include "editing/colour_channels.h"
#include "macros/macro_record.h"

namespace tvq {

namespace me = macroeditor;
namespace m = layout::macro;

namespace {

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

std::string nameOf(const MacroRecord& macro) {
    return utf8FromUtf16(fieldText(macro.name));
}

}  // namespace

MacroEditor::MacroEditor(MacroEditorView& view, InputHook& hook, MessageWindow* hookTarget,
                         MacroEditorDialogs& dialogs, MacroStore& store, FileSystem& files,
                         const TextSource& texts, const KeyNames& keys, const Clock& ticks,
                         MacroBindings* bindings)
    : view_(view),
      hook_(hook),
      hookTarget_(hookTarget),
      dialogs_(dialogs),
      bindings_(bindings),
      library_(store, files),
      texts_(texts),
      keys_(keys),
      recorder_(keys, ticks) {}

MacroEditor::~MacroEditor() {
    close();
}

void MacroEditor::open(bool wayland) {
    for (std::size_t i = 0; i < library_.size(); ++i) {
        view_.appendMacroRow(nameOf(library_.at(static_cast<int>(i))), me::kFirstMacroRowHeight);
    }
    view_.selectMacroRow(-1);
    view_.setFieldText(me::kRecord, texts_.text("start_recording_text"));
    view_.setFieldText(me::kDefaultDelayEdit, std::to_string(me::kMinDelay));
    view_.showControl(me::kMouseEventTab, false);
    view_.showControl(me::kNameTab, true);
    view_.showControl(me::kWaylandNote, wayland);
    view_.enableControl(me::kUndo, false);
    onActionSelect(-1);
}

void MacroEditor::close() {
    if (recorder_.running()) {
        stopRecording();  // what was recorded is kept
    }
    keyFieldFocused(false);
}

// Macros.

void MacroEditor::appendAndSelect(const MacroRecord& added) {
    reportSave();
    view_.appendMacroRow(nameOf(added), me::kAddedMacroRowHeight);
    const int row = static_cast<int>(library_.size()) - 1;
    view_.selectMacroRow(row);
    onMacroSelect(row);
    view_.scrollMacroListToEnd();
}

bool MacroEditor::refusedAtTheLimit() {
    if (!library_.store().full()) {
        return false;
    }
    dialogs_.tell("macro_limit_text", {std::to_string(library_.store().maxMacros())});
    return true;
}

void MacroEditor::addMacro() {
    if (!refusedAtTheLimit()) {
        appendAndSelect(library_.add());
    }
}

void MacroEditor::deleteMacro() {
    int row = selectedMacro_;
    if (!library_.contains(row)) {
        return;
    }
    // Buttons bound to the macro go back to their defaults: said first.
    const MacroBindings::Count bound = bindings_ != nullptr
                                           ? bindings_->boundTo(fieldText(library_.at(row).name))
                                           : MacroBindings::Count{};
    const bool confirmed =
        bound.buttons == 0
            ? dialogs_.confirm("delete_macro_text", {nameOf(library_.at(row))}, "delete_verb_text")
            : dialogs_.confirm("delete_bound_macro_text",
                               {nameOf(library_.at(row)), std::to_string(bound.buttons),
                                std::to_string(bound.profiles)},
                               "delete_verb_text");
    if (!confirmed) {
        return;
    }
    if (recorder_.running()) {
        stopRecording();
    }
    current_ = nullptr;  // the record goes with the row
    library_.remove(row);
    reportSave();
    view_.removeMacroRow(row);
    if (static_cast<std::size_t>(row) >= library_.size()) {
        row -= 1;
    }
    view_.selectMacroRow(row);
    if (row >= 0) {
        onMacroSelect(row);
    } else {
        selectedMacro_ = -1;
        selectedAction_ = -1;
        work_.clear();
        forgetUndo();
        view_.clearActionRows();
        view_.setFieldText(me::kNameEdit, "");
        onActionSelect(-1);
    }
}

void MacroEditor::onMacroSelect(int row) {
    if (recorder_.running()) {
        stopRecording();  // the recording belongs to the macro it was made for
    }
    loadMacro(row);
}

void MacroEditor::loadMacro(int row) {
    selectedMacro_ = row;
    if (!library_.contains(row)) {
        current_ = nullptr;
        return;
    }
    current_ = &library_.at(row);
    work_.assign(current_->actions, current_->actionCount);
    forgetUndo();
    if (work_.count() == 0) {
        selectedAction_ = -1;
    }
    view_.setFieldText(me::kNameEdit, nameOf(*current_));
    rebuild();
}

void MacroEditor::nameLeft() {
    if (current_ == nullptr) {
        return;
    }
    const std::u16string typed = utf16FromUtf8(view_.fieldText(me::kNameEdit));
    const std::u16string before(fieldText(current_->name));
    switch (library_.rename(*current_, typed)) {
        case MacroLibrary::Rename::kUnchanged:
            return;
        case MacroLibrary::Rename::kTaken:
            view_.setFieldText(me::kNameEdit, nameOf(*current_));
            return;
        case MacroLibrary::Rename::kEmpty:
            // Refused like an empty profile name: the old one stays.
            view_.setFieldText(me::kNameEdit, nameOf(*current_));
            dialogs_.tell("macro_name_empty_text");
            return;
        case MacroLibrary::Rename::kRenamed:
            break;
    }
    if (!commit()) {
        // The library was not written (the macro is too long for the
        // mouse): the old name stays, and the user is told.
        library_.store().rename(*current_, before);
        view_.setFieldText(me::kNameEdit, nameOf(*current_));
        dialogs_.tell("macro_rename_refused_text");
        return;
    }
    // The buttons bound to it follow the new name.
    if (bindings_ != nullptr) {
        bindings_->macroRenamed(before, fieldText(current_->name));
    }
    if (current_ != nullptr) {
        view_.setMacroRowText(selectedMacro_, nameOf(*current_));
        view_.setFieldText(me::kNameEdit, nameOf(*current_));
    }
}

void MacroEditor::importMacro() {
    if (refusedAtTheLimit()) {
        return;
    }
    const std::optional<std::string> path = dialogs_.chooseMacroFile(false);
    if (!path) {
        return;
    }
    const MacroRecord* added = library_.importFile(*path);
    if (added == nullptr) {
        dialogs_.tell("macro_import_failed_text");
        return;
    }
    appendAndSelect(*added);
}

void MacroEditor::exportMacro() {
    if (current_ == nullptr) {
        return;
    }
    const std::optional<std::string> path = dialogs_.chooseMacroFile(true);
    if (!path || path->empty()) {
        return;
    }
    // The file is replaced in one step: a failed write leaves the old one.
    if (!library_.exportFile(*current_, *path)) {
        dialogs_.tell("macro_export_failed_text");
    }
}

void MacroEditor::reportSave() {
    if (!library_.lastSaveFailed()) {
        toldSaveFailed_ = false;
    } else if (!toldSaveFailed_) {
        toldSaveFailed_ = true;  // once until a save works again
        dialogs_.tell("macro_store_save_failed_text");
    }
}

bool MacroEditor::commit() {
    if (current_ == nullptr) {
        return false;
    }
    if (library_.store().commit(current_, work_.actions(), work_.count())) {
        if (!(work_ == stored_)) {
            if (undo_.size() >= me::kUndoDepth) {
                undo_.erase(undo_.begin());
            }
            undo_.push_back(stored_);
            stored_ = work_;
            view_.enableControl(me::kUndo, true);
        }
        reportSave();
        return true;
    }
    // Too long for the mouse: the stored actions come back.
    work_ = stored_;
    rebuild();
    return false;
}

void MacroEditor::forgetUndo() {
    stored_ = work_;
    undo_.clear();
    view_.enableControl(me::kUndo, false);
}

void MacroEditor::undo() {
    if (current_ == nullptr || undo_.empty() || recorder_.running()) {
        return;
    }
    const ActionList before = undo_.back();
    undo_.pop_back();
    view_.enableControl(me::kUndo, !undo_.empty());
    // Stored as it was before: what it replaces is not kept for Undo.
    if (library_.store().commit(current_, before.actions(), before.count())) {
        work_ = before;
        stored_ = before;
        reportSave();
    }
    rebuild();
}

// The action list.

ActionRowText MacroEditor::rowText(int index) const {
    const MacroAction& a = work_.at(index);
    ActionRowText row;
    row.key = keys_.keyNameFromCode(a.code);
    row.mouse = isMouseCode(a.code);
    row.press = a.type == m::kPress;
    row.action = texts_.text(row.press ? "key_down_action" : "key_up_action");
    row.delay =
        index == work_.count() - 1 ? std::to_string(me::kMinDelay) : std::to_string(a.delay);
    return row;
}

void MacroEditor::rebuild() {
    std::vector<ActionRowText> rows;
    rows.reserve(static_cast<std::size_t>(work_.count()));
    for (int i = 0; i < work_.count(); ++i) {
        rows.push_back(rowText(i));
    }
    view_.setActionRows(rows);
    if (insertMode_) {
        selectAction(insertIndex_ - 1);
        if (insertIndex_ >= 1) {
            view_.scrollActionRowIntoViewSoon(insertIndex_ - 1);
        }
    } else {
        selectAction(work_.count() - 1);
        view_.scrollActionListToEnd();
    }
}

void MacroEditor::selectAction(int row) {
    if (row >= work_.count()) {
        row = work_.count() - 1;
    }
    view_.selectActionRow(row);
    onActionSelect(row);
}

void MacroEditor::onActionSelect(int row) {
    selectedAction_ = row < work_.count() ? row : -1;
    fillEditor();
    // The buttons that would do nothing are off.
    const int s = selectedAction_;
    view_.enableControl(me::kUp, s > 0);
    view_.enableControl(me::kDown, s >= 0 && s < work_.count() - 1);
    view_.enableControl(me::kDeleteAction, s >= 0);
    view_.enableControl(me::kClear, work_.count() > 0);
}

bool MacroEditor::insertAction(const MacroAction& action) {
    const int position = insertIndex_ == -1 ? work_.count() : insertIndex_;
    if (!work_.insert(position, action)) {
        return false;
    }
    ++selectedAction_;
    if (insertIndex_ != -1) {
        ++insertIndex_;
    }
    return true;
}

std::uint16_t MacroEditor::defaultDelayValue() const {
    // What the field says, inside the delays a macro can hold.
    return static_cast<std::uint16_t>(
        std::clamp<std::int64_t>(leadingNumber(view_.fieldText(me::kDefaultDelayEdit)),
                                 me::kMinDelay, MacroRecorder::kMaxDelay));
}

void MacroEditor::insertClick(int button) {
    if (current_ == nullptr || button < 1 || button > me::kInsertButtonCount ||
        work_.count() + 2 > ActionList::kMax) {
        return;
    }
    const std::uint8_t code = kMouseCodes[button - 1];
    insertIndex_ = selectedAction_ + 1;
    insertMode_ = true;
    const std::uint16_t delay =
        delayMode_ == DelayMode::kDefault ? defaultDelayValue() : me::kMinDelay;
    insertAction({code, m::kPress, delay});
    insertAction({code, m::kRelease, delay});
    rebuild();
    commit();
    insertMode_ = false;
}

void MacroEditor::showMouseInsert(bool shown) {
    // The click buttons show under the name, which stays.
    view_.showControl(me::kMouseEventTab, shown);
}

void MacroEditor::moveAction(int by) {
    const int r = selectedAction_;
    const int to = r + by;
    if (!work_.swap(r, to)) {
        return;
    }
    view_.setActionRow(r, rowText(r));
    view_.setActionRow(to, rowText(to));
    view_.selectActionRow(to);
    onActionSelect(to);
    commit();
}

void MacroEditor::deleteAction() {
    const int s = selectedAction_;
    if (!work_.erase(s)) {
        return;
    }
    view_.removeActionRow(s);
    const int count = work_.count();
    if (count < 1) {
        selectedAction_ = -1;
    }
    // The row that is last now shows the last action's delay.
    if (count >= 1) {
        view_.setActionRow(count - 1, rowText(count - 1));
    }
    const int next = std::min(s, count - 1);
    view_.selectActionRow(next);
    onActionSelect(next);
    commit();
}

void MacroEditor::clearActions() {
    if (current_ == nullptr) {
        return;
    }
    work_.clear();
    insertMode_ = false;
    insertIndex_ = -1;
    selectedAction_ = -1;
    commit();
    rebuild();
}

// The selected action's fields.

void MacroEditor::fillEditor() {
    const int s = selectedAction_;
    if (!work_.contains(s)) {
        view_.showEditPage(me::kPageClosed);
        return;
    }
    const MacroAction& a = work_.at(s);
    const bool last = s == work_.count() - 1;
    const std::string delay = last ? std::to_string(me::kMinDelay) : std::to_string(a.delay);
    if (isMouseCode(a.code)) {
        view_.showEditPage(me::kPageMouse);
        view_.selectMouseComboItem(comboItemOf(a.code));
        view_.setFieldText(me::kMouseDelay, delay);
        view_.enableControl(me::kMouseDelay, !last);
    } else {
        view_.showEditPage(me::kPageKey);
        view_.setFieldText(me::kKeyField, keys_.keyNameFromCode(a.code));
        view_.setFieldText(me::kKeyDelay, delay);
        view_.enableControl(me::kKeyDelay, !last);
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
    if (work_.contains(s)) {
        work_.at(s).code = code;
        view_.setActionRow(s, rowText(s));
    }
    commit();
}

void MacroEditor::actionDelayLeft(std::string_view field) {
    const std::int64_t typed = leadingNumber(view_.fieldText(field));
    const auto delay = static_cast<std::uint16_t>(
        std::clamp<std::int64_t>(typed, me::kMinDelay, MacroRecorder::kMaxDelay));
    const int s = selectedAction_;
    if (s >= 0 && s < work_.count() - 1) {
        work_.at(s).delay = delay;
        view_.setActionRow(s, rowText(s));
        view_.setFieldText(field, std::to_string(delay));  // the value used
    }
    commit();
}

void MacroEditor::defaultDelayLeft() {
    // The field shows the delay that is used.
    view_.setFieldText(me::kDefaultDelayEdit, std::to_string(defaultDelayValue()));
}

}  // namespace tvq
