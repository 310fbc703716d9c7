// The macro editor's logic: the action list and its limits, the in-place
// editor's bounds, renaming and deleting, recording from hook reports with
// each delay mode, ".macro" files, and the bindings that follow the editor.
#include "editing/macro_editor.h"

#include <gtest/gtest.h>

#include <map>

#include "base/text.h"
#include "fake_links.h"
#include "input/us_layout.h"
#include "macros/macro_record.h"
#include "page_fixture.h"
#include "store_fixture.h"

namespace tvq {
namespace {

namespace me = macroeditor;
namespace m = layout::macro;

class FakeEditorWindow final : public MacroEditorView, public InputHook, public MacroEditorDialogs {
  public:
    std::vector<std::string> macroRows;
    int macroSelected = -1;
    std::vector<ActionRowText> rows;
    std::map<std::string, std::string, std::less<>> texts;
    std::map<std::string, bool, std::less<>> enabled;
    int page = 0;
    bool hookAvailable = true;
    std::vector<std::string> hookCalls;
    std::vector<std::string> told;
    bool confirmed = true;
    std::optional<std::string> file;

    void appendMacroRow(std::string_view n, int) override { macroRows.emplace_back(n); }
    void removeMacroRow(int r) override { macroRows.erase(macroRows.begin() + r); }
    void setMacroRowText(int r, std::string_view n) override { macroRows.at(r) = n; }
    void selectMacroRow(int r) override { macroSelected = r; }
    void scrollMacroListToEnd() override {}
    void clearActionRows() override { rows.clear(); }
    void appendActionRow(const ActionRowText& r) override { rows.push_back(r); }
    void setActionRow(int r, const ActionRowText& t) override { rows.at(r) = t; }
    void removeActionRow(int r) override { rows.erase(rows.begin() + r); }
    void selectActionRow(int) override {}
    void scrollActionRowIntoViewSoon(int) override {}
    void scrollActionListToEnd() override {}
    void setFieldText(std::string_view c, std::string_view t) override {
        texts[std::string(c)] = t;
    }
    std::string fieldText(std::string_view c) const override {
        const auto it = texts.find(c);
        return it == texts.end() ? std::string() : it->second;
    }
    void showControl(std::string_view, bool) override {}
    void enableControl(std::string_view c, bool on) override { enabled[std::string(c)] = on; }
    void checkControl(std::string_view, bool) override {}
    void showEditPage(int p) override { page = p; }
    void selectMouseComboItem(int) override {}

    bool available() const override { return hookAvailable; }
    void install(MessageWindow*) override { hookCalls.push_back("install"); }
    void remove() override { hookCalls.push_back("remove"); }
    void enableKeys(bool on) override { hookCalls.push_back(on ? "keys on" : "keys off"); }
    void enableMouse(bool on) override { hookCalls.push_back(on ? "mouse on" : "mouse off"); }
    void removeMouse() override { hookCalls.push_back("remove mouse"); }
    void enableWheel(bool) override {}

    std::vector<std::string> confirms;  // each question, with its arguments
    bool confirm(std::string_view k, const std::vector<std::string>& arguments,
                 std::string_view) override {
        std::string question(k);
        for (const std::string& a : arguments) {
            question += " " + a;
        }
        confirms.push_back(question);
        return confirmed;
    }
    void tell(std::string_view k, const std::vector<std::string>& arguments) override {
        std::string said(k);
        for (const std::string& a : arguments) {
            said += " " + a;
        }
        told.push_back(said);
    }
    std::optional<std::string> chooseMacroFile(bool) override { return file; }
};

class MacroEditorTest : public ::testing::Test, public testing::StoreFixture {
  protected:
    void SetUp() override {
        store.load();
        editor.open();
    }
    // A new macro with `n` key actions (press and release of A in turn).
    void macroWith(int n) {
        editor.addMacro();
        MacroActions a{};
        for (int i = 0; i < n; ++i) {
            a[static_cast<std::size_t>(i)] = {0x04, i % 2 == 0 ? m::kPress : m::kRelease, 20};
        }
        ASSERT_TRUE(store.commit(&store.at(store.size() - 1), a, n));
        editor.onMacroSelect(static_cast<int>(store.size()) - 1);
    }
    void typeAndLeave(const char* field, const char* text) {
        window.texts[field] = text;
        if (std::string_view(field) == me::kNameEdit) {
            editor.nameLeft();
        } else if (std::string_view(field) == me::kDefaultDelayEdit) {
            editor.defaultDelayLeft();
        } else {
            editor.actionDelayLeft(field);
        }
    }
    void hook(std::uintptr_t w, std::intptr_t l) { editor.onHookInput(w, l); }
    const MacroRecord& stored() { return *editor.currentMacro(); }

    MacroStore store{location, texts};
    UsKeyboardLayout us;
    KeyNames keys{us, texts};
    testing::FakeClock clock;
    FakeEditorWindow window;
    MessageWindow hookTarget{};
    MacroEditor editor{window, window, &hookTarget, window, store, fs, texts, keys, clock};
};

TEST_F(MacroEditorTest, TheLastActionAlwaysShowsTenAndInsertsRespectTheLimits) {
    macroWith(1);
    EXPECT_EQ(window.rows.at(0).delay, "10");
    EXPECT_EQ(window.page, me::kPageKey);  // the selected action's fields
    EXPECT_FALSE(window.enabled[me::kKeyDelay]);

    macroWith(3);
    EXPECT_EQ(window.rows.at(1).delay, "20");
    editor.onActionSelect(2);
    editor.moveAction(-1);  // the last action moves up
    EXPECT_EQ(window.rows.at(2).delay, "10");
    EXPECT_EQ(window.rows.at(1).delay, "20");

    // Nothing selected: a click goes to the start.
    editor.clearActions();
    macroWith(2);
    editor.onActionSelect(-1);
    editor.insertClick(1);
    ASSERT_EQ(stored().actionCount, 4);
    EXPECT_EQ(stored().actions[0], (MacroAction{m::kLeftButton, m::kPress, 10}));
    EXPECT_EQ(stored().actions[1].type, m::kRelease);
    EXPECT_EQ(stored().actions[2].code, 0x04);

    for (const int full : {45, 46}) {
        macroWith(full);
        const MacroRecord before = stored();
        editor.insertClick(2);
        EXPECT_EQ(stored(), before) << full;
    }
}

TEST_F(MacroEditorTest, DelaysAndNamesAreBounded) {
    editor.addMacro();
    macroWith(2);
    editor.insertClick(3);  // after the last: press, release of the middle button
    editor.onActionSelect(2);
    EXPECT_EQ(window.page, me::kPageMouse);
    typeAndLeave(me::kMouseDelay, "5");
    EXPECT_EQ(stored().actions[2].delay, 10);
    EXPECT_EQ(window.texts[me::kMouseDelay], "10");
    typeAndLeave(me::kMouseDelay, "65536");
    EXPECT_EQ(stored().actions[2].delay, 65535);
    typeAndLeave(me::kDefaultDelayEdit, "0");
    EXPECT_EQ(window.texts[me::kDefaultDelayEdit], "10");
    for (const char* typed : {"65536", "70000", "99999999999"}) {
        typeAndLeave(me::kDefaultDelayEdit, typed);  // never wraps round
        EXPECT_EQ(window.texts[me::kDefaultDelayEdit], "65535") << typed;
    }

    const std::u16string first(fieldText(store.at(0).name));
    editor.onMacroSelect(1);
    const std::u16string second(fieldText(stored().name));
    typeAndLeave(me::kNameEdit, utf8FromUtf16(upperCased(first)).c_str());
    EXPECT_EQ(fieldText(stored().name), second);  // another macro's name: put back
    EXPECT_EQ(window.texts[me::kNameEdit], utf8FromUtf16(second));
    typeAndLeave(me::kNameEdit, utf8FromUtf16(upperCased(second)).c_str());
    EXPECT_EQ(fieldText(stored().name), upperCased(second));  // its own in other letters
    typeAndLeave(me::kNameEdit, "  ");
    EXPECT_EQ(window.told.back(), "macro_name_empty_text");  // refused, the name stays
    EXPECT_EQ(fieldText(stored().name), upperCased(second));
    typeAndLeave(me::kNameEdit, "Combo");
    EXPECT_EQ(window.macroRows.at(1), "Combo");

    editor.onMacroSelect(0);
    editor.deleteMacro();
    editor.deleteMacro();
    EXPECT_EQ(editor.currentMacro(), nullptr);
    EXPECT_EQ(editor.selectedActionIndex(), -1);
    EXPECT_EQ(store.size(), 0u);
    EXPECT_TRUE(window.rows.empty());
}

TEST_F(MacroEditorTest, RecordingTurnsHookReportsIntoActions) {
    // "a" on the US layout, into a new macro; then left alone for a second.
    editor.onRecordButton();
    ASSERT_TRUE(editor.recording());
    hook(0x41, 0);
    clock.now += 1000;
    hook(0x41, 1);
    editor.onRecordButton();
    ASSERT_EQ(stored().actionCount, 2);
    EXPECT_EQ(stored().actions[0], (MacroAction{0x04, m::kPress, 10}));  // default delay mode
    EXPECT_EQ(stored().actions[1], (MacroAction{0x04, m::kRelease, 10}));
    EXPECT_EQ(window.rows.back().delay, "10");

    // Real delays: the hold time, and 65535 for a 70-second pause.
    editor.clearActions();
    editor.setDelayMode(DelayMode::kRecorded);
    editor.onRecordButton();
    hook(0x42, 0);
    clock.now += 1000;
    hook(0x42, 1);
    clock.now += 70000;
    hook(0x42, 0);
    hook(0x42, 0);  // a held key repeats its press: dropped
    editor.onRecordButton();
    ASSERT_EQ(stored().actionCount, 3);
    EXPECT_EQ(stored().actions[0].delay, 1000);
    EXPECT_EQ(stored().actions[1].delay, 65535);

    // No delay, and the side buttons: X button 2 is back, 1 forward.
    editor.clearActions();
    editor.setDelayMode(DelayMode::kNone);
    editor.onRecordButton();
    hook(0x20B, 2);
    clock.now += 500;
    hook(0x20C, 2);
    hook(0x20B, 1);
    editor.onRecordButton();
    ASSERT_EQ(stored().actionCount, 3);
    EXPECT_EQ(stored().actions[0], (MacroAction{m::kBackwardButton, m::kPress, 10}));
    EXPECT_EQ(stored().actions[1].code, m::kBackwardButton);
    EXPECT_EQ(stored().actions[2].code, m::kForwardButton);

    // A new recording whose first report is the previous one's last drops it.
    editor.clearActions();
    editor.onRecordButton();
    hook(0x20B, 1);
    hook(0x43, 0);
    editor.onRecordButton();
    ASSERT_EQ(stored().actionCount, 1);
    EXPECT_EQ(stored().actions[0].code, 0x06);
    // The hook is taken and given back in order.
    EXPECT_EQ(window.hookCalls.back(), "keys off");
    // One Undo takes back the whole recording.
    editor.undo();
    EXPECT_EQ(stored().actionCount, 0);
}

TEST_F(MacroEditorTest, UndoTakesBackEachChangeToTheActionsAsStored) {
    macroWith(3);
    EXPECT_FALSE(editor.canUndo());
    EXPECT_FALSE(window.enabled[me::kUndo]);
    std::vector<MacroRecord> before{stored()};
    const auto changed = [&] {
        EXPECT_NE(stored(), before.back());
        before.push_back(stored());
    };
    editor.onActionSelect(0);
    typeAndLeave(me::kKeyDelay, "300");
    changed();
    typeAndLeave(me::kKeyDelay, "300");  // the same value: no step to undo
    editor.moveAction(1);
    changed();
    editor.deleteAction();
    changed();
    editor.insertClick(2);
    changed();
    typeAndLeave(me::kNameEdit, "Renamed");  // the name is not an action
    editor.clearActions();
    changed();
    EXPECT_TRUE(window.enabled[me::kUndo]);
    for (before.pop_back(); !before.empty(); before.pop_back()) {
        editor.undo();
        EXPECT_EQ(stored().actionCount, before.back().actionCount);
        EXPECT_TRUE(std::equal(stored().actions.begin(),
                               stored().actions.begin() + stored().actionCount,
                               before.back().actions.begin()));
        EXPECT_EQ(window.rows.size(), static_cast<std::size_t>(stored().actionCount));
    }
    EXPECT_FALSE(window.enabled[me::kUndo]);
    EXPECT_EQ(fieldText(stored().name), std::u16string_view(u"Renamed"));
    // Another macro: what could be taken back belonged to the one before.
    editor.insertClick(1);
    macroWith(1);
    editor.undo();
    EXPECT_EQ(stored().actionCount, 1);
    EXPECT_FALSE(window.enabled[me::kUndo]);
}

TEST_F(MacroEditorTest, TheClicksAndKeysThatWorkTheRecordButtonAreNeverRecorded) {
    using In = MacroEditor::RecordInput;
    // Started by a click on the button: mouse buttons are left out while the
    // pointer is there, and the click's release, still on its way, too.
    editor.onRecordButtonHover(true);
    editor.onRecordButton(In::kPointer);
    EXPECT_EQ(window.hookCalls.back(), "mouse off");
    hook(0x202, 0);  // the starting click's release
    hook(0x41, 0);
    hook(0x41, 1);
    // Stopped by Space on the focused button: its press (and a release
    // that came before the button reacted) goes.
    hook(0x20, 0);
    hook(0x20, 1);
    editor.onRecordButton(In::kKeyboard);
    ASSERT_EQ(stored().actionCount, 2);
    EXPECT_EQ(stored().actions[1], (MacroAction{0x04, m::kRelease, 10}));

    // Started by Space, the pointer away: its release goes, clicks elsewhere
    // count; stopped by a click that the hook saw before the pointer's
    // arrival was known: that press goes, the click elsewhere stays.
    editor.clearActions();
    editor.onRecordButtonHover(false);
    editor.onRecordButton(In::kKeyboard);
    EXPECT_EQ(window.hookCalls.back(), "mouse on");
    hook(0x20, 1);
    hook(0x201, 0);
    hook(0x202, 0);
    hook(0x201, 0);
    editor.onRecordButton(In::kPointer);
    ASSERT_EQ(stored().actionCount, 2);
    EXPECT_EQ(stored().actions[0], (MacroAction{m::kLeftButton, m::kPress, 10}));
    EXPECT_EQ(stored().actions[1].type, m::kRelease);

    // A screen reader's Toggle brings no input of its own: nothing goes.
    editor.clearActions();
    editor.onRecordButton(In::kOther);
    hook(0x20, 0);
    editor.onRecordButton(In::kOther);
    EXPECT_EQ(stored().actionCount, 1);
}

TEST_F(MacroEditorTest, RecordingStopsAtTheLimitsAndIsKeptOnClose) {
    editor.onRecordButton();
    for (int i = 0; i < 50; ++i) {
        hook(0x44 + (i % 2), i % 2);
    }
    EXPECT_FALSE(editor.recording());
    EXPECT_EQ(stored().actionCount, 46);

    // Closing while recording keeps what was recorded.
    editor.addMacro();
    editor.onRecordButton();
    hook(0x46, 0);
    hook(0x46, 1);
    editor.close();
    EXPECT_FALSE(editor.recording());
    EXPECT_EQ(store.at(store.size() - 1).actionCount, 2);

    // Without the hook library the button says why and nothing starts.
    window.hookAvailable = false;
    editor.onRecordButton();
    EXPECT_FALSE(editor.recording());
    EXPECT_EQ(window.told.back(), "record_no_hook_text");
}

TEST_F(MacroEditorTest, AnOverLongMacroCanBeEditedDownAndRenamed) {
    MacroRecord made;  // made elsewhere: 46 actions with long delays
    setFieldText(made.name, u"Long");
    made.actionCount = 46;
    for (std::size_t i = 0; i < 46; ++i) {
        made.actions[i] = {0x04, i % 2 == 0 ? m::kPress : m::kRelease, 5000};
    }
    store.append(made);
    window.appendMacroRow("Long", 30);  // as the editor's list shows it
    editor.onMacroSelect(static_cast<int>(store.size()) - 1);
    editor.onActionSelect(0);
    editor.deleteAction();
    EXPECT_EQ(stored().actionCount, 45);  // shorter: stored
    typeAndLeave(me::kNameEdit, "Shorter");
    EXPECT_EQ(fieldText(stored().name), std::u16string_view(u"Shorter"));
    editor.insertClick(1);  // longer again: refused, and nothing changes
    EXPECT_EQ(stored().actionCount, 45);
    const auto& file = fs.files.at(testing::kMacroPath);
    EXPECT_EQ(parseMacroStore(file).back().actionCount, 45);
}

TEST_F(MacroEditorTest, TheLimitIsRefusedWhereItWouldBeCrossed) {
    macroWith(2);
    store.setMaxMacros(1);
    editor.addMacro();
    window.file = "/tmp/any.macro";
    editor.importMacro();
    editor.onMacroSelect(-1);  // nothing selected: recording would make a new one
    editor.onRecordButton();
    EXPECT_EQ(window.told, (std::vector<std::string>{"macro_limit_text 1", "macro_limit_text 1",
                                                     "macro_limit_text 1"}));
    EXPECT_EQ(store.size(), 1u);
    EXPECT_FALSE(editor.recording());
}

TEST_F(MacroEditorTest, ALibraryOverTheLimitLoadsItsFirstMacrosAndIsKeptWhole) {
    std::vector<std::uint8_t> file;
    for (const char16_t* name : {u"a", u"b", u"c"}) {
        MacroRecord r;
        setFieldText(r.name, name);
        const auto bytes = encodeMacro(r);
        file.insert(file.end(), bytes.begin(), bytes.end());
    }
    fs.files[testing::kMacroPath] = file;
    MacroStore limited{location, texts};
    limited.setMaxMacros(2);
    const std::string kept = limited.load();
    EXPECT_TRUE(limited.loadedOverLimit());
    ASSERT_EQ(limited.size(), 2u);
    EXPECT_EQ(fieldText(limited.at(1).name), std::u16string_view(u"b"));
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(fs.files.at(kept), file);
}

TEST_F(MacroEditorTest, MacroFilesRoundTripAndBadOnesAreRefused) {
    macroWith(4);
    const std::string name = utf8FromUtf16(fieldText(stored().name));
    fs.folders.insert("/tmp/macros");
    window.file = "/tmp/macros/mine";
    editor.exportMacro();
    const std::vector<std::uint8_t>& exported = fs.files.at("/tmp/macros/mine.macro");
    ASSERT_EQ(exported.size(), 240u);
    const auto& data = fs.files.at(testing::kMacroPath);
    EXPECT_TRUE(std::equal(exported.begin(), exported.end(), data.end() - 240));

    window.file = "/tmp/macros/mine.macro";
    editor.importMacro();
    editor.importMacro();
    ASSERT_EQ(store.size(), 3u);
    EXPECT_EQ(window.macroRows.at(1), name + "_1");
    EXPECT_EQ(window.macroRows.at(2), name + "_2");
    EXPECT_EQ(utf8FromUtf16(fieldText(stored().name)), name + "_2");
    EXPECT_EQ(stored().actionCount, 4);

    window.file.reset();  // cancelled
    editor.importMacro();
    editor.exportMacro();
    EXPECT_EQ(store.size(), 3u);

    for (const std::size_t size : {0u, 239u, 241u, 1u << 20}) {
        fs.files["/tmp/bad.macro"] = std::vector<std::uint8_t>(size, 0x41);
        window.file = "/tmp/bad.macro";
        editor.importMacro();
        EXPECT_EQ(window.told.back(), "macro_import_failed_text") << size;
    }
    EXPECT_EQ(store.size(), 3u);
    for (const std::int32_t count : {1000, -1}) {
        MacroRecord odd;
        odd.name.fill(u'x');  // no terminator
        odd.actionCount = count;
        odd.actions[0] = {0xEB, m::kPress, 10};  // a code without a name
        const auto bytes = encodeMacro(odd);
        fs.files["/tmp/odd.macro"] = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        window.file = "/tmp/odd.macro";
        editor.importMacro();
        EXPECT_GE(stored().actionCount, 0);
        EXPECT_LE(stored().actionCount, 46);
        EXPECT_EQ(stored().name.back(), u'\0');
    }
    // A file that cannot be written is reported; so is a library that
    // cannot be saved, once until a save works again.
    fs.failWrites = true;
    window.file = "/tmp/macros/again.macro";
    editor.exportMacro();
    EXPECT_EQ(window.told.back(), "macro_export_failed_text");
    window.told.clear();
    editor.insertClick(1);
    editor.insertClick(2);
    EXPECT_EQ(window.told, std::vector<std::string>{"macro_store_save_failed_text"});
    fs.failWrites = false;
    editor.clearActions();
    fs.failWrites = true;
    editor.addMacro();
    EXPECT_EQ(window.told.size(), 2u);
}

class MacroButtonTest : public ::testing::Test, public testing::PageFixture {
  protected:
    void SetUp() override {
        testing::FakeLibraryLoader::reset();
        startPage();
    }
};

TEST_F(MacroButtonTest, ClosingTheEditorAfterDeletingABoundMacroRestoresTheDefault) {
    MacroRecord& macro = session.macros().addNew();
    macro.actionCount = 1;
    session.macros().save();
    dialogs.macro = MacroChoice{0, 0, 1};
    view.click("ms_1_btn_key_5");
    dialogs.pick("ms_1_select_macro");
    ASSERT_EQ(current().modes[0].buttons[4].function, 17);
    dialogs.macroEditor = [this] { session.macros().removeAt(0); };
    const int before = applies();
    view.click("ms_1_btn_macro");
    EXPECT_EQ(dialogs.asked.back(), "macro editor");
    EXPECT_EQ(current().modes[0].buttons[4].function, 0);
    EXPECT_EQ(view.textKeys["ms_1_btn_key_5"], "button_off_text");
    EXPECT_EQ(applies(), before + 1);
}

TEST_F(MacroButtonTest, BindingsFollowARenameAndADeletionSaysWhatItResets) {
    MacroRecord& macro = session.macros().addNew();
    setFieldText(macro.name, u"Hello");
    macro.actionCount = 1;
    session.macros().save();
    dialogs.macro = MacroChoice{0, 0, 1};
    view.click("ms_1_btn_key_5");
    dialogs.pick("ms_1_select_macro");
    ASSERT_EQ(fieldText(current().modes[0].buttons[4].macroName), u"Hello");

    // The editor renames it: every binding follows, and closing the editor
    // keeps the button bound.
    FakeEditorWindow window;
    MessageWindow target{};
    testing::FakeClock clock;
    dialogs.macroEditor = [&] {
        MacroEditor editor{window, window, &target, window, session.macros(),
                           fs,     texts,  keys,    clock,  dialogs.editorBindings};
        editor.open();
        editor.onMacroSelect(0);
        window.texts[me::kNameEdit] = "Greeting";
        editor.nameLeft();
        // Deleting it would reset button 5 in slots 0 and 1 of one profile.
        window.confirmed = false;
        editor.deleteMacro();
        EXPECT_EQ(window.confirms.back(), "delete_bound_macro_text Greeting 1 1");
    };
    view.click("ms_1_btn_macro");
    EXPECT_EQ(current().modes[0].buttons[4].function, 17);
    EXPECT_EQ(fieldText(current().modes[1].buttons[4].macroName), u"Greeting");
    session.shutdown();  // the saves asked for are written
    const auto stored = parseProfileStore(fs.files.at(testing::kProPath));
    EXPECT_EQ(fieldText(stored.profiles.at(0)->modes[0].buttons[4].macroName), u"Greeting");
}

}  // namespace
}  // namespace tvq
