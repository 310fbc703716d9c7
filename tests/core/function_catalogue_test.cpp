#include "page/function_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "base/text.h"
#include "fake_texts.h"
#include "input/us_layout.h"
#include "profiles/record_layout.h"
#include "protocol/button_functions.h"
#include "protocol/frames.h"

namespace tvq {
namespace {

class KeyTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        texts.texts["keyboard_ctrl_text"] = "Ctrl";
        texts.texts["keyboard_shift_text"] = "Shift";
        texts.texts["keyboard_alt_text"] = "Alt";
        texts.texts["keyboard_win_text"] = "Super";
        texts.texts["assign_macro_text"] = "Macro: ";
        texts.texts["key_F5"] = "F5";
    }
    testing::FakeTexts texts;
    UsKeyboardLayout us;
    KeyNames keys{us, texts};
};

// The function menus' layout files and the button-function table agree:
// every item names a function of the table, with its text, and every
// function a menu offers is in that menu's file. What the menus offer and
// what a profile starts with, the mouse has bytes for.
TEST(ButtonFunctions, TheMenuFilesAndTheDefaultsAgreeWithTheTable) {
    for (const auto& [file, tilt] :
         {std::pair{"ms_1_menu.xml", false}, std::pair{"ms_1_menu_1.xml", true}}) {
        std::ifstream in(std::string(TVQ_SOURCE_DIR) + "/res/MS/MS_1/" + file);
        ASSERT_TRUE(in) << file;
        const std::string xml{std::istreambuf_iterator<char>(in), {}};
        const std::regex item(R"re(<item name="([^"]+)" textKey="([^"]+)")re");
        std::set<std::string_view> offered;
        for (auto m = std::sregex_iterator(xml.begin(), xml.end(), item);
             m != std::sregex_iterator(); ++m) {
            const std::string name = (*m)[1];
            const auto row =
                std::find_if(kButtonFunctions.begin(), kButtonFunctions.end(),
                             [&](const ButtonFunction& f) { return f.menuItem == name; });
            ASSERT_NE(row, kButtonFunctions.end()) << file << ": " << name;
            EXPECT_NE(row->menus, FunctionMenus::kNoMenu) << name;
            if (!row->textKey.empty()) {
                EXPECT_EQ((*m)[2], std::string(row->textKey)) << name;
            }
            EXPECT_TRUE(offered.insert(row->menuItem).second) << file << ": " << name << " twice";
        }
        for (const ButtonFunction& f : kButtonFunctions) {
            const bool inThisMenu = f.menus == FunctionMenus::kEveryMenu ||
                                    (tilt && f.menus == FunctionMenus::kTiltMenu);
            EXPECT_EQ(offered.count(f.menuItem), inThisMenu ? 1u : 0u)
                << file << ": " << int(f.code);
            if (inThisMenu) {
                EXPECT_TRUE(hasDeviceFunction(f.code)) << int(f.code);
            }
        }
    }
    for (std::size_t slot = 0; slot < layout::profile::kModeCount; ++slot) {
        for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
            const std::uint8_t code = defaultFunction(slot, k);
            EXPECT_TRUE(hasDeviceFunction(code)) << slot << "/" << k;
            EXPECT_FALSE(functionTextKey(code).empty()) << slot << "/" << k;
        }
    }
}

TEST(FunctionCatalogue, MenuItemsCompareWithoutLetterCaseAndUnknownOnesAssignTheLeftClick) {
    EXPECT_EQ(functionForMenuItem("ms_1_volume_up"), 69);
    EXPECT_EQ(functionForMenuItem("MS_1_Volume_Up"), 69);
    EXPECT_EQ(functionForMenuItem("ms_1_shortcut"), 16);
    EXPECT_EQ(functionForMenuItem("ms_1_no_such_item"), 1);
    EXPECT_EQ(functionForMenuItem(""), 1);  // codes without a menu item are never assigned
    EXPECT_EQ(functionTextKey(51), "task_view_text");
    EXPECT_EQ(functionTextKey(15), "");
    EXPECT_EQ(functionTextKey(200), "");
}

TEST_F(KeyTextTest, ShortcutsMacrosAndCatalogueTexts) {
    ButtonBinding b;
    b.function = function::kShortcut;
    b.shortcutModifiers = layout::binding::kModCtrl | layout::binding::kModAlt;
    b.shortcutKey = 0x04;
    auto t = keyButtonText(b, keys, texts);
    EXPECT_EQ(t.text, "Ctrl+Alt+A");
    EXPECT_FALSE(t.isLanguageKey);
    b.shortcutModifiers = 0x0F;
    b.shortcutKey = 0x3E;  // F5
    EXPECT_EQ(keyButtonText(b, keys, texts).text, "Ctrl+Shift+Alt+Super+F5");
    b.shortcutModifiers = 0;
    b.shortcutKey = 0;  // nothing chosen yet
    EXPECT_EQ(keyButtonText(b, keys, texts).text, "");

    ButtonBinding macro;
    macro.function = function::kMacro;
    setFieldText(macro.macroName, u"Combo");
    EXPECT_EQ(keyButtonText(macro, keys, texts).text, "Macro: Combo");

    ButtonBinding taskView;
    taskView.function = 51;
    t = keyButtonText(taskView, keys, texts);
    EXPECT_EQ(t.text, "task_view_text");
    EXPECT_TRUE(t.isLanguageKey);
    taskView.function = 99;
    EXPECT_EQ(keyButtonText(taskView, keys, texts).text, "");
}

}  // namespace
}  // namespace tvq
