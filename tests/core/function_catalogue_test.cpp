#include "page/function_catalogue.h"

#include <gtest/gtest.h>

#include <set>

#include "base/text.h"
#include "fake_texts.h"
#include "input/us_layout.h"
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

TEST(FunctionCatalogue, CodesAreUniqueAndEveryPlainOneHasADeviceFunction) {
    std::set<int> codes;
    for (const FunctionEntry& e : kFunctionCatalogue) {
        EXPECT_TRUE(codes.insert(e.code).second) << int(e.code);
        EXPECT_EQ(e.textKey.empty(), e.code == 16 || e.code == 17) << int(e.code);
        if (e.code != 51) {  // task view has no device function
            const auto bytes = deviceFunction(e.code);
            EXPECT_NE(bytes[0], 0) << int(e.code);
        }
    }
    EXPECT_EQ(codes.size(), 57u);
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
