#include "page/settings_panels.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/text.h"
#include "fake_page_view.h"
#include "fake_scheduler.h"
#include "fake_texts.h"
#include "input/us_layout.h"
#include "store_fixture.h"

namespace tvq {
namespace {

class SettingsPanelsTest : public ::testing::Test, public testing::StoreFixture {
  protected:
    void SetUp() override {
        texts.texts["sleep_timer_1_text"] = "Sleep after ";
        texts.texts["sleep_timer_2_text"] = "min";
        texts.texts["keyboard_ctrl_text"] = "Ctrl";
        texts.texts["keyboard_alt_text"] = "Alt";
    }
    bool selected(const std::string& option) const {
        return std::find(view.selected.begin(), view.selected.end(), option) != view.selected.end();
    }
    void refresh(const Profile& p) {
        view.selected.clear();
        panels.refreshPage(&p, [&] {
            ++modePanelRefreshes;
            panels.lighting.updateRows(modeOf(p).lightMode);
        });
    }

    testing::FakePageView view;
    UsKeyboardLayout us;
    KeyNames keys{us, texts};
    testing::FakeScheduler scheduler;
    MouseSession session{location, texts, scheduler};
    SettingsPanels panels{view, texts, keys, session, nullptr};
    int modePanelRefreshes = 0;
};

TEST_F(SettingsPanelsTest, EveryControlOfTheDefaultProfile) {
    const auto p = newProfile(u"P");
    refresh(*p);
    EXPECT_EQ(modePanelRefreshes, 1);
    EXPECT_TRUE(selected("ms_1_option_button_mode_1"));
    EXPECT_TRUE(selected("ms_1_option_dpi_step_1"));
    EXPECT_EQ(view.sliders["ms_1_slider_dpi_4"], 200);
    EXPECT_EQ(view.sliders["ms_1_label_dpi_4"], 8000);
    EXPECT_EQ(view.sliders["ms_1_label_dpi_5"], 0);
    EXPECT_EQ(view.colors["ms_1_btn_dpi_color_7"], 0xFFFF4000u);
    EXPECT_EQ(view.items["ms_1_combo_light"], 7);
    EXPECT_EQ(view.items["ms_1_combo_light_ble"], 3);
    EXPECT_EQ(view.sliders["ms_1_slider_brightness"], 8);
    EXPECT_EQ(view.sliders["ms_1_slider_breathspeed"], 6);
    EXPECT_EQ(view.colors["ms_1_btn_light_color"], 0xFF0000FFu);
    EXPECT_TRUE(selected("ms_1_btn_prate_2"));
    EXPECT_EQ(view.textKeys["ms_1_label_prate"], "prate_2_text");
    EXPECT_EQ(view.text["ms_1_label_sleep_timer"], "Sleep after 0.5 min");
    EXPECT_EQ(view.textKeys["ms_1_btn_key_1"], "left_click_text");
    EXPECT_EQ(view.textKeys["ms_1_btn_key_11"], "mute_text");
    EXPECT_EQ(view.textKeys["ms_1_btn_key_18"], "scroll_down_text");
    EXPECT_TRUE(view.hidden("ms_1_hor_brightness"));  // effect 7
    EXPECT_TRUE(view.shown("ms_1_hor_breathspeed"));
    EXPECT_TRUE(view.hidden("ms_1_hor_light_color"));
}

TEST_F(SettingsPanelsTest, PollingSleepAndKeyTexts) {
    auto p = newProfile(u"P");
    writeAllSlots(*p, [](ModeSettings& m) {
        m.pollingRate = 2;
        m.sleepTimer = 7;
    });
    p->modes[0].buttons[5].function = 51;
    ButtonBinding shortcut;
    shortcut.function = function::kShortcut;
    shortcut.shortcutModifiers = layout::binding::kModCtrl | layout::binding::kModAlt;
    shortcut.shortcutKey = 0x04;
    p->modes[0].buttons[6] = shortcut;
    refresh(*p);
    EXPECT_TRUE(selected("ms_1_btn_prate_3"));
    EXPECT_EQ(view.textKeys["ms_1_label_prate"], "prate_3_text");
    EXPECT_EQ(view.text["ms_1_label_sleep_timer"], "Sleep after 3.5 min");
    texts.texts["decimal_separator_text"] = ",";  // as German writes it
    refresh(*p);
    EXPECT_EQ(view.text["ms_1_label_sleep_timer"], "Sleep after 3,5 min");
    EXPECT_EQ(view.textKeys["ms_1_btn_key_6"], "task_view_text");
    EXPECT_EQ(view.text["ms_1_btn_key_7"], "Ctrl+Alt+A");
    EXPECT_FALSE(view.textKeys.contains("ms_1_btn_key_7"));
}

TEST_F(SettingsPanelsTest, LightingRowsFollowTheEffect) {
    const struct {
        int effect;
        bool brightness, speed, color;
    } cases[] = {{1, true, false, true},    {2, false, true, true},   {5, false, true, false},
                 {11, false, true, false},  {0, false, false, false}, {12, false, false, false},
                 {40, false, false, false}, {-1, false, false, false}};
    for (const auto& c : cases) {
        panels.lighting.updateRows(c.effect);
        EXPECT_EQ(view.shown("ms_1_hor_brightness"), c.brightness) << c.effect;
        EXPECT_EQ(view.shown("ms_1_hor_breathspeed"), c.speed) << c.effect;
        EXPECT_EQ(view.shown("ms_1_hor_light_color"), c.color) << c.effect;
    }
}

TEST_F(SettingsPanelsTest, OutOfRangeValuesSelectNothingAndKeepTheLabel) {
    auto p = newProfile(u"P");
    refresh(*p);
    writeAllSlots(*p, [](ModeSettings& m) {
        m.lightMode = 40;
        m.dpiStage = 9;
        m.pollingRate = 7;
    });
    p->buttonMode = 2;  // reported by the mouse: no option on the page
    p->modes[2].buttons[0].function = 12;
    refresh(*p);
    EXPECT_TRUE(view.selected.empty());
    EXPECT_EQ(view.textKeys["ms_1_label_prate"], "prate_2_text");  // unchanged
    EXPECT_TRUE(view.hidden("ms_1_hor_brightness"));
    EXPECT_TRUE(view.hidden("ms_1_hor_breathspeed"));
    EXPECT_EQ(view.textKeys["ms_1_btn_key_1"], "scroll_down_text");  // slot 2 is shown

    p->buttonMode = 99;  // a damaged file reads slot 0
    refresh(*p);
    EXPECT_EQ(view.textKeys["ms_1_btn_key_1"], "left_click_text");
    panels.refreshPage(nullptr, nullptr);  // no profile: nothing happens
}

TEST_F(SettingsPanelsTest, ChargingAnimationClimbsAndStartsAgain) {
    std::vector<int> values;
    for (int i = 0; i < 53; ++i) {
        panels.sleepPower.chargeAnimationTick();
        values.push_back(view.progress["ms_1_progress_power"]);
    }
    EXPECT_EQ(values[0], 0);
    EXPECT_EQ(values[1], 2);
    EXPECT_EQ(values[50], 100);
    EXPECT_EQ(values[51], 0);
    EXPECT_EQ(values[52], 2);
}

}  // namespace
}  // namespace tvq
