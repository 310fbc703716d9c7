// Button functions: the function menus, the assignment rules, the shortcut
// and macro completions, and the bindings that follow the macro library.
#include <gtest/gtest.h>

#include "base/text.h"
#include "editing/macro_choice.h"
#include "editing/shortcut_capture.h"
#include "fake_device_library.h"
#include "fake_page_dialogs.h"
#include "fake_page_view.h"
#include "fake_scheduler.h"
#include "input/hook_input.h"
#include "input/us_layout.h"
#include "page/settings_page.h"
#include "page_fixture.h"
#include "profiles/profile.h"

namespace tvq {
namespace {

using testing::FakeCableLibrary;
using testing::FakeLibraryLoader;
namespace b = layout::binding;

class ButtonFunctionsTest : public ::testing::Test, public testing::PageFixture {
  protected:
    void SetUp() override {
        FakeLibraryLoader::reset();
        texts.texts["keyboard_ctrl_text"] = "Ctrl";
        texts.texts["keyboard_alt_text"] = "Alt";
        texts.texts["assign_macro_text"] = "Macro: ";
        startPage();
    }
    const ButtonBinding& binding(std::size_t slot, std::size_t k) {
        return current().modes[slot].buttons[k];
    }
    void pick(int keyButton, const char* item) {
        view.click("ms_1_btn_key_" + std::to_string(keyButton));
        dialogs.pick(item);
    }
    MacroRecord& addMacro(std::u16string_view name, std::uint8_t code) {
        MacroRecord& m = session.macros().addNew();
        setFieldText(m.name, name);
        m.actionCount = 2;
        m.actions[0] = {code, layout::macro::kPress, 10};
        m.actions[1] = {code, layout::macro::kRelease, 10};
        session.macros().save();
        return m;
    }
};

TEST_F(ButtonFunctionsTest, KeyButtonsOpenTheirMenuAndTheItemGoesToThatButton) {
    view.click("ms_1_btn_key_13");
    view.click("ms_1_btn_key_12");
    ASSERT_EQ(dialogs.menus.size(), 2u);
    EXPECT_EQ(dialogs.menus[0].first, "MS/MS_1/ms_1_menu_1.xml");
    EXPECT_EQ(dialogs.menus[0].second, "ms_1_btn_key_13");
    EXPECT_EQ(dialogs.menus[1].first, "MS/MS_1/ms_1_menu.xml");
    // The item reaches the button whose menu was opened last.
    const int before = applies();
    dialogs.pick("MS_1_Volume_Up");
    EXPECT_EQ(binding(0, 11).function, 69);
    EXPECT_EQ(view.textKeys["ms_1_btn_key_12"], "volume_up_text");
    EXPECT_EQ(applies(), before + 1);
    // An item name the catalogue lacks assigns the left click.
    pick(5, "ms_1_no_such_item");
    EXPECT_EQ(binding(0, 4).function, 1);
}

TEST_F(ButtonFunctionsTest, TheLastLeftClickCannotBeTakenAndBindingsPairSlotsZeroAndOne) {
    // Only button 1 holds the left click by default.
    const std::vector<std::uint8_t> before = encodeProfile(current());
    pick(1, "ms_1_button_off");
    EXPECT_EQ(dialogs.asked, std::vector<std::string>{"tell one_click_text"});
    EXPECT_EQ(encodeProfile(current()), before);

    pick(2, "ms_1_button_off");
    EXPECT_EQ(binding(0, 1).function, 0);
    // Buttons 0..9 go into slots 0 and 1 alike; 10 and up only the active one.
    pick(4, "ms_1_copy");
    EXPECT_EQ(binding(0, 3).function, 33);
    EXPECT_EQ(binding(1, 3), binding(0, 3));
    pick(11, "ms_1_copy");
    EXPECT_EQ(binding(0, 10).function, 33);
    EXPECT_EQ(binding(1, 10).function, 0);
}

TEST_F(ButtonFunctionsTest, ShortcutsAreComposedConfirmedOrLeftAlone) {
    dialogs.shortcut = ShortcutChoice{b::kModCtrl | b::kModAlt, 0x04};
    pick(5, "ms_1_shortcut");
    EXPECT_EQ(dialogs.shortcutStart->key, 0);  // not a shortcut yet: bytes 3..6 cleared
    EXPECT_EQ(binding(0, 4).function, 16);
    EXPECT_EQ(binding(0, 4).shortcutModifiers, b::kModCtrl | b::kModAlt);
    EXPECT_EQ(view.text["ms_1_btn_key_5"], "Ctrl+Alt+A");
    // Reopened, the dialog starts from the stored shortcut.
    dialogs.shortcut.reset();
    pick(5, "ms_1_shortcut");
    EXPECT_EQ(dialogs.shortcutStart->key, 0x04);
    EXPECT_EQ(dialogs.shortcutStart->modifiers, b::kModCtrl | b::kModAlt);
    EXPECT_EQ(binding(0, 4).function, 16);  // cancelled: unchanged

    // Neither key nor modifier: the key bytes change, the function does not.
    ButtonBinding stale = binding(0, 5);
    session.edit(
        [](Profile& p) {
            p.modes[0].buttons[5].shortcutKey = 0x3E;
            p.modes[0].buttons[5].shortcutPad = {1, 2, 3};
        },
        AfterEdit::kNothing);
    const int applied = applies();
    dialogs.shortcut = ShortcutChoice{0, 0};
    pick(6, "ms_1_shortcut");
    EXPECT_EQ(binding(0, 5).function, stale.function);
    EXPECT_EQ(binding(0, 5).shortcutKey, 0);
    EXPECT_EQ(binding(0, 5).shortcutPad, (std::array<std::uint8_t, 3>{}));
    EXPECT_EQ(applies(), applied);
}

TEST_F(ButtonFunctionsTest, TheMacroPickerStartsFromTheBindingAndCopiesTheMacro) {
    // An empty library: the user is told, nothing opens.
    pick(5, "ms_1_select_macro");
    EXPECT_FALSE(dialogs.macroStart);
    EXPECT_EQ(dialogs.asked.back(), "tell no_macros_text");

    addMacro(u"first", 0x04);
    addMacro(u"second", 0x05);
    dialogs.macro = MacroChoice{1, 0, 7};
    pick(5, "ms_1_select_macro");
    EXPECT_EQ(dialogs.macroStart->index, -1);
    EXPECT_EQ(dialogs.macroStart->repeatMode, 0);
    EXPECT_EQ(dialogs.macroStart->loopCount, 1);
    const ButtonBinding& m = binding(0, 4);
    EXPECT_EQ(m.function, 17);
    EXPECT_EQ(m.macroIndex, 1);
    EXPECT_EQ(m.macroLoopCount, 7);
    EXPECT_EQ(fieldText(m.macroName), u"second");
    EXPECT_EQ(m.macroActionCount, 2);
    EXPECT_EQ(m.macroActions[0].code, 0x05);
    EXPECT_EQ(view.text["ms_1_btn_key_5"], "Macro: second");

    dialogs.macro = MacroChoice{0, 2, 3};
    pick(5, "ms_1_select_macro");
    EXPECT_EQ(dialogs.macroStart->index, 1);
    EXPECT_EQ(dialogs.macroStart->repeatMode, 0);
    EXPECT_EQ(dialogs.macroStart->loopCount, 7);
    EXPECT_EQ(binding(0, 4).macroRepeatMode, 2);

    // Damaged stored values start the picker inside its bounds; a choice
    // that names no macro assigns nothing.
    for (const std::int32_t index : {-5, 2, 1000}) {
        session.edit(
            [index](Profile& p) {
                p.modes[0].buttons[4].macroIndex = index;
                p.modes[0].buttons[4].macroLoopCount = 300;
                p.modes[0].buttons[4].macroRepeatMode = -1;
            },
            AfterEdit::kNothing);
        dialogs.macro = MacroChoice{index, 0, 1};
        pick(5, "ms_1_select_macro");
        EXPECT_EQ(dialogs.macroStart->index, -1);
        EXPECT_EQ(dialogs.macroStart->loopCount, 255);
        EXPECT_EQ(dialogs.macroStart->repeatMode, 0);
        EXPECT_EQ(binding(0, 4).macroIndex, index);
    }
}

TEST_F(ButtonFunctionsTest, BindingsFollowTheLibraryInEveryProfileSlotAndButton) {
    MacroRecord& kept = addMacro(u"Kept", 0x04);
    addMacro(u"Gone", 0x05);
    dialogs.macro = MacroChoice{1, 0, 1};
    pick(5, "ms_1_select_macro");
    dialogs.macro = MacroChoice{0, 0, 1};
    pick(6, "ms_1_select_macro");
    // A second profile and a binding on button 17 (index 16) of slot 3.
    auto second = newProfile(u"second");
    second->modes[3].buttons[16] = binding(0, 4);
    session.profiles().append(std::move(second));
    session.edit([&](Profile& p) { p.modes[3].buttons[16] = p.modes[0].buttons[4]; },
                 AfterEdit::kNothing);

    kept.actions[0].code = 0x06;
    session.macros().removeAt(1);
    const int before = applies();
    page.panels().buttons.syncMacroBindings();
    EXPECT_EQ(applies(), before + 1);
    for (const auto& p : session.profiles().profiles()) {
        const ButtonBinding& gone = p->modes[3].buttons[16];
        EXPECT_EQ(gone.function, 11);  // the default of button 17
        EXPECT_EQ(gone.macroIndex, -1);
        EXPECT_TRUE(fieldText(gone.macroName).empty());
    }
    EXPECT_EQ(binding(0, 4).function, 0);
    EXPECT_EQ(binding(1, 4).function, 0);
    EXPECT_EQ(view.textKeys["ms_1_btn_key_5"], "button_off_text");
    EXPECT_EQ(binding(0, 5).macroActions[0].code, 0x06);  // the kept one, updated
    EXPECT_EQ(binding(0, 5).macroIndex, 0);
}

TEST_F(ButtonFunctionsTest, ShortcutCaptureTakesKeyDownsWithTheModifiersHeld) {
    ShortcutCapture c(keys);
    c.reset(0xFF, 0x3E);
    EXPECT_EQ(c.modifiers(), 0x0F);
    c.reset(0, 0);
    // Ctrl+Alt+A, released in any order.
    for (const auto& [vk, down] : std::vector<std::pair<std::uint32_t, bool>>{{0xA2, true},
                                                                              {0xA4, true},
                                                                              {0x41, true},
                                                                              {0xA2, false},
                                                                              {0x41, false},
                                                                              {0xA4, false}}) {
        c.feed(vk, down);
    }
    EXPECT_EQ(c.key(), 0x04);
    EXPECT_EQ(c.modifiers(), b::kModCtrl | b::kModAlt);
    c.feed(0x74, true);  // F5 alone: the modifiers chosen stay
    EXPECT_EQ(c.key(), 0x3E);
    EXPECT_EQ(c.modifiers(), b::kModCtrl | b::kModAlt);
    // Ctrl ticked in the dialog, then C pressed alone: Ctrl+C.
    c.reset(b::kModCtrl, 0);
    c.feed(0x43, true);
    EXPECT_EQ(c.key(), 0x06);
    EXPECT_EQ(c.modifiers(), b::kModCtrl);
    // Enter, Tab and Escape work the dialog; they are chosen by name.
    for (const std::uint32_t vk : {0x0Du, 0x09u, 0x1Bu}) {
        EXPECT_FALSE(c.feed(vk, true));
    }
    EXPECT_EQ(c.key(), 0x06);
    c.setModifier(b::kModCtrl, false);
    c.feed(0x07, true);  // no row in the key table
    EXPECT_EQ(c.key(), 0);
    c.setModifier(b::kModShift, true);
    c.feed(0xA3, true);  // a modifier alone is the key; the boxes stay
    EXPECT_EQ(c.key(), 0xE4);
    EXPECT_EQ(c.modifiers(), b::kModShift);
}

TEST(MacroChoiceText, LoopCountFieldKeepsDigitsAndBoundsTheCount) {
    EXPECT_EQ(digitsOnly(u"1a2b 3"), u"123");
    EXPECT_EQ(digitsOnly(u"abc"), u"");
    EXPECT_EQ(loopCountFromText(u""), 1);
    EXPECT_EQ(loopCountFromText(u"0"), 1);
    EXPECT_EQ(loopCountFromText(u"-7"), 1);
    EXPECT_EQ(loopCountFromText(u"12x"), 12);
    EXPECT_EQ(loopCountFromText(u"300"), 255);
    EXPECT_EQ(loopCountFromText(u"99999999999999999999"), 255);
}

TEST(HookInput, KeysButtonsAndWheel) {
    EXPECT_EQ(decodeHookInput(0x41, 0).kind, HookInput::Kind::kKey);
    EXPECT_FALSE(decodeHookInput(0x41, 1).down);
    const HookInput back = decodeHookInput(hookmsg::kSideDown, hookmsg::kSideBack);
    EXPECT_EQ(back.button, HookButton::kBack);
    EXPECT_TRUE(back.down);
    EXPECT_EQ(decodeHookInput(hookmsg::kSideUp, 7).kind, HookInput::Kind::kUnknown);
    EXPECT_EQ(decodeHookInput(hookmsg::kWheel, -1).kind, HookInput::Kind::kWheel);
    EXPECT_EQ(decodeHookInput(hookmsg::kRightUp, 0).button, HookButton::kRight);
}

}  // namespace
}  // namespace tvq
