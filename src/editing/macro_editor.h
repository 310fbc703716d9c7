// The macro editor apart from its widgets: the macro library as a list, the
// current macro's actions as a working copy that every change commits to the
// store (and so to "macro.data") and that Undo takes back change by change,
// the fields of the selected action, inserted mouse clicks, live recording
// through the input hook, and ".macro" files.
// Everything runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/file_system.h"
#include "base/text_source.h"
#include "editing/action_list.h"
#include "editing/macro_library.h"
#include "editing/macro_recorder.h"
#include "input/hook_library.h"
#include "input/key_names.h"
#include "macros/macro_store.h"

namespace tvq {

namespace macroeditor {
// Controls of the editor's layout.
inline constexpr const char* kClose = "ms_1_macro_close_btn";
inline constexpr const char* kMacroList = "ms_1_macro_list";
inline constexpr const char* kNameEdit = "ms_1_macro_name_edit";
inline constexpr const char* kAdd = "ms_1_macro_add_btn";
inline constexpr const char* kDelete = "ms_1_macro_delete_btn";
inline constexpr const char* kInsertMouse = "ms_1_macro_insert_mouse_btn";
inline constexpr const char* kNameTab = "ms_1_macro_name_tab";
inline constexpr const char* kMouseEventTab = "ms_1_macro_mouse_event_tab";
inline constexpr const char* kInsertButton = "ms_1_macro_key";  // + 1..5 + "_btn"
inline constexpr int kInsertButtonCount = 5;
inline constexpr const char* kRecord = "ms_1_macro_record_btn";
inline constexpr const char* kRecordDelay = "ms_1_record_delay_btn";
inline constexpr const char* kDefaultDelay = "ms_1_default_delay_btn";
inline constexpr const char* kNoDelay = "ms_1_no_delay_btn";
inline constexpr const char* kDefaultDelayEdit = "ms_1_default_delay_edit";
inline constexpr const char* kActionList = "ms_1_macro_action_list";
inline constexpr const char* kUp = "ms_1_macro_up_btn";
inline constexpr const char* kDown = "ms_1_macro_down_btn";
inline constexpr const char* kDeleteAction = "ms_1_macro_delete_action_btn";
inline constexpr const char* kClear = "ms_1_macro_clear_action_btn";
inline constexpr const char* kEditTab = "ms_1_macro_action_edit_tab";
inline constexpr const char* kKeyField = "ms_1_macro_action_edit";
inline constexpr const char* kKeyDelay = "ms_1_macro_delay_edit";
inline constexpr const char* kMouseCombo = "ms_1_macro_mouse_action_combo";
inline constexpr const char* kMouseDelay = "ms_1_macro_mouseaction_delay_edit";
inline constexpr const char* kUndo = "ms_1_macro_cancel_btn";
inline constexpr const char* kImport = "ms_1_macro_import_btn";
inline constexpr const char* kExport = "ms_1_macro_export_btn";
inline constexpr const char* kWaylandNote = "ms_1_macro_wayland_note";

// Pages of the selected action's fields.
inline constexpr int kPageClosed = 0;
inline constexpr int kPageKey = 1;
inline constexpr int kPageMouse = 2;

// How long the action list waits before it scrolls to a row it just got.
inline constexpr int kListScrollDelayMs = 50;

inline constexpr int kFirstMacroRowHeight = 22;
inline constexpr int kAddedMacroRowHeight = 30;
inline constexpr std::uint16_t kMinDelay = MacroRecorder::kMinDelay;
// How many changes of one macro's actions Undo can take back.
inline constexpr std::size_t kUndoDepth = 100;
}  // namespace macroeditor

// One row of the action list.
struct ActionRowText {
    std::string key;     // the code's name
    bool mouse = false;  // a mouse code: the mouse image
    bool press = false;  // press or release image
    std::string action;  // the text of "key_down_action" or "key_up_action"
    std::string delay;   // "10" for the last action
    bool operator==(const ActionRowText&) const = default;
};

// The editor's controls. A control the layout lacks is skipped silently.
class MacroEditorView {
  public:
    virtual ~MacroEditorView() = default;
    virtual void appendMacroRow(std::string_view name, int height) = 0;
    virtual void removeMacroRow(int row) = 0;
    virtual void setMacroRowText(int row, std::string_view name) = 0;
    virtual void selectMacroRow(int row) = 0;  // without a notification; -1 none
    virtual void scrollMacroListToEnd() = 0;

    virtual void clearActionRows() = 0;
    virtual void appendActionRow(const ActionRowText& row) = 0;
    // The whole list at once: rows that stay are updated in place.
    virtual void setActionRows(const std::vector<ActionRowText>& rows) {
        clearActionRows();
        for (const ActionRowText& r : rows) {
            appendActionRow(r);
        }
    }
    virtual void setActionRow(int row, const ActionRowText& text) = 0;
    virtual void removeActionRow(int row) = 0;
    virtual void selectActionRow(int row) = 0;  // without a notification
    // Scrolls to `row` once the list has laid out what it just got
    // (kListScrollDelayMs later); a later request replaces it.
    virtual void scrollActionRowIntoViewSoon(int row) = 0;
    virtual void scrollActionListToEnd() = 0;

    virtual void setFieldText(std::string_view control, std::string_view text) = 0;
    virtual std::string fieldText(std::string_view control) const = 0;
    virtual void showControl(std::string_view control, bool shown) = 0;
    virtual void enableControl(std::string_view control, bool enabled) = 0;
    virtual void checkControl(std::string_view control, bool checked) = 0;  // quietly
    virtual void showEditPage(int page) = 0;
    virtual void selectMouseComboItem(int item) = 0;  // quietly
};

class MacroEditorDialogs {
  public:
    virtual ~MacroEditorDialogs() = default;
    // `arguments` take the places of "%1", "%2", … in the text; a question
    // is answered with the button that says `verbKey` (true) or Cancel.
    virtual bool confirm(std::string_view textKey, const std::vector<std::string>& arguments,
                         std::string_view verbKey) = 0;
    virtual void tell(std::string_view textKey, const std::vector<std::string>& arguments = {}) = 0;
    // The platform's file dialog for ".macro" files, starting in the data
    // folder: the path chosen, or nothing when cancelled.
    virtual std::optional<std::string> chooseMacroFile(bool forSaving) = 0;
};

// The buttons of the profiles that name macros, as the editor changes the
// library. The page implements it.
class MacroBindings {
  public:
    virtual ~MacroBindings() = default;
    // Every binding that names `from` names `to` from now on (saved at once).
    virtual void macroRenamed(std::u16string_view from, std::u16string_view to) = 0;
    struct Count {
        int buttons = 0;
        int profiles = 0;
    };
    // The buttons, and the profiles they are in, that name `name`.
    virtual Count boundTo(std::u16string_view name) const = 0;
};

class MacroEditor {
  public:
    // `hookTarget` is where the hook reports while it captures (null: the
    // hook cannot run).
    MacroEditor(MacroEditorView& view, InputHook& hook, MessageWindow* hookTarget,
                MacroEditorDialogs& dialogs, MacroStore& store, FileSystem& files,
                const TextSource& texts, const KeyNames& keys, const Clock& ticks,
                MacroBindings* bindings = nullptr);
    ~MacroEditor();

    // Fills the macro list; nothing is selected. `wayland`: recording sees
    // only what goes to X applications, which the editor says.
    void open(bool wayland = false);
    // Ends a running recording with its commit and takes the hook away.
    void close();

    // The macro list and its buttons.
    void onMacroSelect(int row);
    void addMacro();
    void deleteMacro();
    void importMacro();
    void exportMacro();
    // The name field was left (or Enter pressed in it).
    void nameLeft();

    // The action list and its buttons.
    void onActionSelect(int row);
    void moveAction(int by);  // -1 up, +1 down
    void deleteAction();
    void clearActions();
    // The insert tab's buttons 1..5: press and release of that mouse button.
    void insertClick(int button);
    void showMouseInsert(bool shown);

    // Takes back the last change to the current macro's actions (an edit,
    // a move, a deletion, inserted clicks, a whole recording), as stored.
    void undo();
    bool canUndo() const { return !undo_.empty(); }

    // The selected action's fields: every change applies as it is made.
    void onMouseComboSelect(int item);
    // A delay field of the selected action was left.
    void actionDelayLeft(std::string_view field);
    void keyFieldFocused(bool in);
    // A key of the editor's own key field, when it has the focus.
    void onOwnKey(std::uint32_t virtualKey);

    // Recording. `by` is how the Record button was worked: the click or the
    // key that did it is never part of the recording.
    enum class RecordInput { kPointer, kKeyboard, kOther };
    void onRecordButton(RecordInput by = RecordInput::kOther);
    void setDelayMode(DelayMode mode) { delayMode_ = mode; }
    void defaultDelayLeft();
    void onRecordButtonHover(bool entered);
    // A report of the input hook (its wParam and lParam).
    void onHookInput(std::uintptr_t wParam, std::intptr_t lParam);

    // State, for the window and tests.
    const MacroRecord* currentMacro() const { return current_; }
    int selectedActionIndex() const { return selectedAction_; }
    int workCount() const { return work_.count(); }
    bool recording() const { return recorder_.running(); }
    // Whether a recording can run: the hook library is there to report.
    bool canRecord() const { return hook_.available() && hookTarget_ != nullptr; }
    DelayMode delayMode() const { return delayMode_; }

  private:
    void loadMacro(int row);
    void appendAndSelect(const MacroRecord& added);
    void rebuild();
    void selectAction(int row);
    ActionRowText rowText(int index) const;
    bool insertAction(const MacroAction& action);
    // Stores the working copy, and what it replaces for Undo; false (and
    // the stored actions back) when it is too long for the mouse.
    bool commit();
    // Forgets what Undo could take back: another macro is shown.
    void forgetUndo();
    void fillEditor();
    void setActionCode(std::uint8_t code);
    void startRecording();
    void stopRecording();
    // Leaves out the press (and a release after it) of the input that
    // stopped the recording through the Record button.
    void dropStoppingInput(RecordInput by);
    void onRecordEvent(std::uintptr_t wParam, std::intptr_t lParam);
    std::uint16_t defaultDelayValue() const;
    // Tells the user when the library holds as many macros as it may.
    bool refusedAtTheLimit();
    // Tells the user once when the library could not be written.
    void reportSave();

    MacroEditorView& view_;
    InputHook& hook_;
    MessageWindow* hookTarget_;
    MacroEditorDialogs& dialogs_;
    MacroBindings* bindings_;
    MacroLibrary library_;
    const TextSource& texts_;
    const KeyNames& keys_;
    MacroRecorder recorder_;
    // The hook while it captures, for the key field or for a recording.
    std::optional<HookCapture> capture_;

    MacroRecord* current_ = nullptr;
    int selectedMacro_ = -1;
    ActionList work_;
    int recordStart_ = -1;
    bool insertMode_ = false;
    DelayMode delayMode_ = DelayMode::kDefault;
    int selectedAction_ = -1;
    int insertIndex_ = -1;
    ActionList stored_;             // the current macro's actions as stored
    std::vector<ActionList> undo_;  // what they were before each change, oldest first
    bool captureForKeyEdit_ = false;
    bool toldSaveFailed_ = false;
    // Whether the pointer is on the Record button: its clicks are never
    // recorded, so mouse buttons are left out while it is there.
    bool pointerOnRecord_ = false;
    bool mouseRecorded_ = false;  // what the hook was last told, while recording
    int recordedActions_ = 0;     // taken by the recording that runs
};

}  // namespace tvq
