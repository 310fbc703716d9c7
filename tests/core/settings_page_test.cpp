#include "page/settings_page.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fake_device_library.h"
#include "fake_page_view.h"
#include "fake_scheduler.h"
#include "input/us_layout.h"
#include "page/controls.h"
#include "page_fixture.h"
#include "profiles/record_layout.h"
#include "state_recorder.h"
#include "store_fixture.h"

namespace tvq {
namespace {

using testing::FakeCableLibrary;
using testing::FakeLibraryLoader;
using testing::FakeReceiverLibrary;

class SettingsPageTest : public ::testing::Test, public testing::StoreFixture {
  protected:
    void SetUp() override {
        FakeLibraryLoader::reset();
        texts.texts["add_profile_text"] = "Profile";
        texts.texts["sleep_timer_1_text"] = "Sleeps after ";
        texts.texts["sleep_timer_2_text"] = "min";
    }

    // A store of `profiles` written where the page will look for it.
    void writeStore(std::int32_t currentIndex, std::vector<std::unique_ptr<Profile>> profiles) {
        fs.files[testing::kProPath] = encodeProfileStore(currentIndex, profiles);
    }
    static std::vector<std::unique_ptr<Profile>> threeProfiles() {
        std::vector<std::unique_ptr<Profile>> p;
        for (const char16_t* name : {u"Work", u"Games", u"Drawing"}) {
            p.push_back(newProfile(name));
        }
        writeAllSlots(*p[2], [](ModeSettings& m) { m.pollingRate = 2; });
        writeAllSlots(*p[2], [](ModeSettings& m) { m.sleepTimer = 7; });
        return p;
    }
    void start(bool cable, bool receiver) {
        FakeCableLibrary::state().present = cable ? 1 : 0;
        FakeReceiverLibrary::state().present = receiver ? 1 : 0;
        page.bindControls();
        session.link().start(loader, "/opt/tvq/", &window, false);
    }
    bool selected(const std::string& option) const {
        return std::find(view.selected.begin(), view.selected.end(), option) != view.selected.end();
    }

    testing::FakePageView view;
    UsKeyboardLayout us;
    KeyNames keys{us, texts};
    FakeLibraryLoader loader;
    MessageWindow window{};
    testing::FakeScheduler scheduler;
    MouseSession session{location, texts, scheduler};
    SettingsPage page{view, texts, keys, session};
    int applies() const { return session.link().applyRequests(); }
};

TEST_F(SettingsPageTest, BindingHidesThePowerSettingAndProbesTheLinks) {
    view.visible["ms_1_check_power_setting"] = true;
    view.visible["ms_1_ver_power_setting"] = true;
    start(false, true);
    EXPECT_TRUE(view.hidden("ms_1_check_power_setting"));
    EXPECT_TRUE(view.hidden("ms_1_ver_power_setting"));
    // Only the receiver: its indicator and the sleep label, the watchdog.
    EXPECT_TRUE(view.shown("ms_1_wireless"));
    EXPECT_TRUE(view.hidden("ms_1_wired"));
    EXPECT_TRUE(view.shown("ms_1_sleep_label"));
    EXPECT_TRUE(session.link().watchdogArmed());
    EXPECT_TRUE(view.hidden("ms_1_no_mouse_note"));
    EXPECT_EQ(session.links().anyConnected.load(), 1);
}

TEST_F(SettingsPageTest, EveryBoundControlIsLookedUpOnceInTableOrder) {
    std::vector<std::string> names;
    for (const ControlInfo& c : pageControls()) {
        names.push_back(c.name);
    }
    EXPECT_EQ(names.front(), "ms_1_btn_key_1");
    EXPECT_EQ(names[17], "ms_1_btn_key_18");
    EXPECT_EQ(names[18], "ms_1_key_control_1");
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
    // 18 keys and overlays, 2 modes, 11 single controls, 8 toggles and
    // panels, 5 x 8 DPI controls, 8 lighting, 4 rates, 10 more, apply_ring,
    // the apply status line and the note that no mouse is there.
    EXPECT_EQ(names.size(), 36u + 2 + 11 + 16 + 40 + 8 + 4 + 10 + 3);
}

TEST_F(SettingsPageTest, LoadingShowsTheStoredRowAndKeepsTheUsersFirstSelection) {
    writeStore(2, threeProfiles());
    start(false, true);
    page.showProfiles(testing::loadStores(session));
    EXPECT_EQ(view.rows["ms_1_list_profile"],
              (std::vector<std::string>{"Work", "Games", "Drawing"}));
    EXPECT_EQ(view.items["ms_1_list_profile"], 2);
    EXPECT_EQ(session.profiles().currentIndex(), 2);
    EXPECT_TRUE(selected("ms_1_btn_prate_3"));
    EXPECT_EQ(view.textKeys["ms_1_label_prate"], "prate_3_text");
    EXPECT_EQ(view.text["ms_1_label_sleep_timer"], "Sleeps after 3.5 min");
    EXPECT_EQ(applies(), 0);

    // The stored row was selected without a notification: the user's first
    // click counts.
    view.selected.clear();
    view.chooseItem("ms_1_list_profile", 0);
    EXPECT_EQ(session.profiles().currentIndex(), 0);
    EXPECT_TRUE(selected("ms_1_btn_prate_2"));
    EXPECT_EQ(view.text["ms_1_label_sleep_timer"], "Sleeps after 0.5 min");
    EXPECT_EQ(applies(), 1);

    // A row the list does not have changes nothing.
    page.onProfileListSelect(7);
    EXPECT_EQ(session.profiles().currentIndex(), 0);
    EXPECT_EQ(applies(), 1);
}

TEST_F(SettingsPageTest, FirstStartCreatesOneProfileAndShowsIt) {
    start(false, false);
    const ProfileStore::LoadReport report = testing::loadStores(session);
    page.showProfiles(report);
    EXPECT_EQ(view.rows["ms_1_list_profile"], std::vector<std::string>{"Profile1"});
    EXPECT_EQ(fs.files.at(testing::kProPath).size(), 4u + layout::profile::kSize);
    page.showProfiles(report);  // once only
    EXPECT_EQ(view.rows["ms_1_list_profile"].size(), 1u);
}

TEST_F(SettingsPageTest, SectionTogglesOnlyShowAndHideTheirPanels) {
    writeStore(0, threeProfiles());
    start(true, false);
    page.showProfiles(testing::loadStores(session));
    const auto before = encodeProfileStore(0, session.profiles().profiles());
    const auto writes = fs.writes;
    view.toggle("ms_1_check_dpi", false);
    EXPECT_TRUE(view.hidden("ms_1_hor_dpi"));
    view.toggle("ms_1_check_dpi", true);
    EXPECT_TRUE(view.shown("ms_1_hor_dpi"));
    for (const SectionToggle& t : kSectionToggles) {
        view.toggle(t.check, false);
        EXPECT_TRUE(view.hidden(t.section)) << t.section;
    }
    EXPECT_EQ(encodeProfileStore(0, session.profiles().profiles()), before);
    EXPECT_EQ(fs.writes, writes);
    EXPECT_EQ(applies(), 0);
}

TEST_F(SettingsPageTest, SectionsTheUserClosedStayClosedAndAreTold) {
    start(true, false);
    std::vector<std::string> told;
    page.keepSectionsClosed({"ms_1_hor_dpi", "not_a_section"},
                            [&told](const std::vector<std::string>& closed) { told = closed; });
    EXPECT_FALSE(view.isChecked("ms_1_check_dpi"));
    EXPECT_TRUE(view.hidden("ms_1_hor_dpi"));
    view.toggle("ms_1_check_light", false);
    EXPECT_EQ(told, (std::vector<std::string>{"ms_1_hor_dpi", "ms_1_ver_light"}));
    view.toggle("ms_1_check_dpi", true);
    EXPECT_EQ(told, std::vector<std::string>{"ms_1_ver_light"});
}

TEST_F(SettingsPageTest, KeyOverlaysFollowTheirOwnKeyButtonOnly) {
    start(false, false);
    view.visible.clear();
    view.hover("ms_1_btn_key_18", true);
    EXPECT_TRUE(view.shown("ms_1_key_control_18"));
    view.hover("ms_1_btn_key_18", false);
    EXPECT_TRUE(view.hidden("ms_1_key_control_18"));
    view.hover("ms_1_btn_key_3", true);
    EXPECT_TRUE(view.shown("ms_1_key_control_3"));
    EXPECT_TRUE(view.hidden("ms_1_key_control_18"));  // each button its own overlay
    EXPECT_EQ(view.visible.size(), 2u);
    EXPECT_EQ(view.hovers.size(), 18u);  // the key buttons only
}

TEST_F(SettingsPageTest, TheApplyButtonAsksForAnApply) {
    start(true, false);
    view.click("ms_1_apply_btn");
    view.click("ms_1_btn_key_1");  // function menus are not offered yet
    EXPECT_EQ(applies(), 1);
}

TEST_F(SettingsPageTest, ChargingAnimationClimbsWhileCharging) {
    // The animation, and the timers of the line under the apply button.
    ASSERT_EQ(view.tickers.size(), 3u);
    testing::FakeTicker& animation = *view.tickers.front();
    page.panels().sleepPower.showCharging(true);
    EXPECT_EQ(animation.interval, 30);
    animation.tick();
    animation.tick();
    EXPECT_EQ(view.progress["ms_1_progress_power"], 2);
    page.panels().sleepPower.showCharging(false);
    EXPECT_FALSE(animation.running());
}

TEST_F(SettingsPageTest, TheBatteryShowsItsLevelWarnsWhenLowAndSaysWhenItCharges) {
    texts.texts["battery_charging_percent_text"] = "%1% charging";
    SleepPowerPanel& power = page.panels().sleepPower;
    power.showBattery(30);
    EXPECT_EQ(view.text["ms_1_label_power"], "30%");
    EXPECT_EQ(view.styleStates["ms_1_progress_power"], "");
    EXPECT_FALSE(view.visible["ms_1_low_power_label"]);
    power.showBattery(20);
    EXPECT_EQ(view.styleStates["ms_1_progress_power"], "low");
    EXPECT_EQ(view.textKeys["ms_1_low_power_label"], "low_power_text");
    EXPECT_TRUE(view.visible["ms_1_low_power_label"]);
    power.showBattery(10);
    EXPECT_EQ(view.styleStates["ms_1_progress_power"], "critical");
    EXPECT_EQ(view.textKeys["ms_1_low_power_label"], "critical_power_text");
    // Charging with a level: the level and the word, no animation, no warning.
    // The user's notification levels are the bar's too.
    power.setWarningLevels({true, 40, 30});
    EXPECT_EQ(view.styleStates["ms_1_progress_power"], "critical");
    power.showBattery(40);
    EXPECT_EQ(view.styleStates["ms_1_progress_power"], "low");
    power.showBattery(10);
    power.showCharging(true);
    EXPECT_EQ(view.text["ms_1_label_power"], "10% charging");
    EXPECT_EQ(view.progress["ms_1_progress_power"], 10);
    EXPECT_FALSE(view.tickers.front()->running());
    EXPECT_EQ(view.styleStates["ms_1_progress_power"], "");
    EXPECT_FALSE(view.visible["ms_1_low_power_label"]);
    texts.texts["battery_full_percent_text"] = "%1% full";
    power.showBattery(100);
    EXPECT_EQ(view.text["ms_1_label_power"], "100% full");  // not "charging" for ever
}

TEST_F(SettingsPageTest, OutOfRangeStoredValuesShowWithoutHarm) {
    auto profiles = threeProfiles();
    writeAllSlots(*profiles[0], [](ModeSettings& m) {
        m.lightMode = 40;
        m.dpiStage = 9;
        m.pollingRate = 7;
    });
    profiles[0]->buttonMode = 77;
    writeStore(0, std::move(profiles));
    view.text["ms_1_label_prate"] = "before";
    start(true, false);
    page.showProfiles(testing::loadStores(session));
    EXPECT_TRUE(view.hidden("ms_1_hor_brightness"));
    EXPECT_TRUE(view.hidden("ms_1_hor_breathspeed"));
    EXPECT_TRUE(view.hidden("ms_1_hor_light_color"));
    EXPECT_EQ(view.text["ms_1_label_prate"], "before");
    for (const std::string& s : view.selected) {
        EXPECT_EQ(s.find("ms_1_option_dpi_step_"), std::string::npos) << s;
        EXPECT_EQ(s.find("ms_1_btn_prate_"), std::string::npos) << s;
        EXPECT_EQ(s.find("ms_1_option_button_mode_"), std::string::npos) << s;
    }
    EXPECT_EQ(view.items["ms_1_combo_light"], 40);  // the view shows it as no item
    // Options that were selected before are cleared.
    for (const char* option : {"ms_1_option_dpi_step_1", "ms_1_option_dpi_step_8",
                               "ms_1_btn_prate_2", "ms_1_option_button_mode_1"}) {
        ASSERT_TRUE(view.checked.contains(option)) << option;
        EXPECT_FALSE(view.checked[option]) << option;
    }
}

TEST_F(SettingsPageTest, APageWithoutSomeControlsWorksWithTheRest) {
    writeStore(1, threeProfiles());
    view.missing = {"ms_1_list_profile", "ms_1_label_sleep_timer", "ms_1_check_power_setting"};
    start(false, true);
    page.showProfiles(testing::loadStores(session));
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(session.profiles().currentIndex(), 1);
    EXPECT_TRUE(view.hidden("ms_1_ver_power_setting"));
    EXPECT_TRUE(view.shown("ms_1_wireless"));
}

TEST_F(SettingsPageTest, HandlersBeforeLoadingLeaveEverythingAlone) {
    page.refreshPage();
    page.presenter().updateLightRows();
    view.chooseItem("ms_1_list_profile", 0);
    EXPECT_EQ(applies(), 0);
    EXPECT_TRUE(view.selected.empty());
}

}  // namespace
}  // namespace tvq

namespace tvq {
namespace {

class BlePageTest : public ::testing::Test, public testing::StoreFixture {
  protected:
    class Transport final : public BleTransport {
      public:
        std::vector<std::string> calls;
        bool writeFrame(std::string_view, std::string_view,
                        std::span<const std::uint8_t>) override {
            calls.emplace_back("write");
            return true;
        }
        void subscribe(std::string_view, std::string_view) override {
            calls.emplace_back("subscribe");
        }
        void unsubscribe() override { calls.emplace_back("unsubscribe"); }
    };

    void SetUp() override { FakeLibraryLoader::reset(); }
    void start(bool cable, bool receiver) {
        FakeCableLibrary::state().present = cable ? 1 : 0;
        FakeReceiverLibrary::state().present = receiver ? 1 : 0;
        page.bindControls();
        session.link().start(loader, "/opt/tvq/", &window, false);
        page.showProfiles(
            testing::loadStores(session));  // settles the recorded state: not connected
        seen.dpiShown.clear();
        transport.calls.clear();
    }

    testing::FakePageView view;
    UsKeyboardLayout us;
    KeyNames keys{us, texts};
    FakeLibraryLoader loader;
    MessageWindow window{};
    Transport transport;
    testing::FakeScheduler scheduler;
    MouseSession session{location, texts, scheduler, &transport};
    SettingsPage page{view, texts, keys, session};
    testing::StateRecorder seen{session.link().state()};
};

TEST_F(BlePageTest, ConnectDisconnectAndReconnectWithNoOtherLink) {
    start(false, false);
    EXPECT_EQ(session.links().anyConnected.load(), 0);
    session.link().onBleConnection(true);
    EXPECT_EQ(session.links().anyConnected.load(), 1);
    EXPECT_TRUE(view.shown("ms_1_BLE"));
    EXPECT_TRUE(view.hidden("ms_1_sleep_label"));
    EXPECT_TRUE(view.hidden("ms_1_check_prate"));
    EXPECT_TRUE(view.shown("ms_1_check_power"));  // its battery reports are shown
    EXPECT_TRUE(view.hidden("ms_1_no_mouse_note"));
    session.link().onBleConnection(true);  // a second arrival changes nothing
    EXPECT_EQ(transport.calls, std::vector<std::string>{"subscribe"});

    session.link().onBleConnection(false);
    EXPECT_EQ(session.links().anyConnected.load(), 0);
    EXPECT_TRUE(view.hidden("ms_1_BLE"));
    // No link at all: the mouse is away, not asleep, and the page says so.
    EXPECT_TRUE(view.hidden("ms_1_sleep_label"));
    EXPECT_TRUE(view.shown("ms_1_no_mouse_note"));
    session.link().onBleConnection(false);  // a removal is always processed
    EXPECT_EQ(transport.calls.back(), "unsubscribe");

    session.link().onBleConnection(true);
    EXPECT_EQ(session.links().anyConnected.load(), 1);
    EXPECT_EQ(transport.calls,
              (std::vector<std::string>{"subscribe", "unsubscribe", "unsubscribe", "subscribe"}));
}

TEST_F(BlePageTest, PollingRateComesBackWithTheCableAsTheUserLeftIt) {
    start(false, false);
    for (const bool open : {true, false}) {
        view.checked["ms_1_check_prate"] = open;
        session.link().onBleConnection(true);
        EXPECT_TRUE(view.hidden("ms_1_check_prate"));
        EXPECT_TRUE(view.hidden("ms_1_ver_prate"));
        FakeCableLibrary::state().present = 1;
        session.link().onDeviceMessage(msg::kWiredAttach, 1, 0);
        scheduler.advance(kAttachSettleMs);
        EXPECT_TRUE(view.shown("ms_1_check_prate"));
        EXPECT_EQ(view.isChecked("ms_1_check_prate"), open);
        EXPECT_EQ(view.shown("ms_1_ver_prate"), open);
        FakeCableLibrary::state().present = 0;
        session.link().onDeviceMessage(msg::kWiredAttach, 0, 0);
        scheduler.advance(kAttachSettleMs);
        session.link().onBleConnection(false);
    }
}

TEST_F(BlePageTest, CableAndReceiverTakePrecedence) {
    start(true, false);
    session.link().onBleConnection(true);
    EXPECT_TRUE(view.hidden("ms_1_no_mouse_note"));  // the cable carries on
    // The link that writes stands out, and says so to screen readers.
    EXPECT_EQ(view.styleStates["ms_1_wired"], "writing");
    EXPECT_EQ(view.styleStates["ms_1_BLE"], "");
    EXPECT_EQ(view.toolTipKeys["ms_1_wired"], "link_writing_text");
    EXPECT_EQ(view.toolTipKeys["ms_1_BLE"], "link_standby_text");
    EXPECT_TRUE(view.shown("ms_1_check_prate"));  // the cable's panels stay
    session.link().onBleConnection(false);
    EXPECT_TRUE(view.hidden("ms_1_no_mouse_note"));
    EXPECT_EQ(session.links().anyConnected.load(), 1);
    EXPECT_EQ(seen.statuses.back(), (MouseStatus{MouseStatus::Link::kCable, 0, true, false}));
    EXPECT_TRUE(view.hidden("ms_1_sleep_label"));  // the cable keeps the mouse awake
}

TEST_F(BlePageTest, NotificationsBecomeStatusReports) {
    start(false, false);
    session.link().onBleConnection(true);
    session.link().onBleNotification(std::vector<std::uint8_t>{0x10, 0x40, 0x01, 0x07});
    EXPECT_EQ(view.text["ms_1_label_power"], "70%");
    EXPECT_EQ(view.progress["ms_1_progress_power"], 70);
    // The tray and the desktop hear of it, once.
    EXPECT_EQ(seen.statuses,
              (std::vector<MouseStatus>{{MouseStatus::Link::kBluetooth, 0, false, false},
                                        {MouseStatus::Link::kBluetooth, 70, false, false}}));
    // Gone: no level is shown that nothing reports any more.
    session.link().onBleConnection(false);
    EXPECT_EQ(view.text["ms_1_label_power"], "");
    EXPECT_EQ(view.progress["ms_1_progress_power"], 0);
    session.link().onBleConnection(true);
    // A heartbeat over Bluetooth LE says nothing about the receiver.
    EXPECT_FALSE(view.shown("ms_1_wireless"));
    EXPECT_EQ(session.link().links().receiverLinkUp.load(), 0);
    EXPECT_FALSE(session.link().watchdogArmed());
    session.link().onBleNotification(std::vector<std::uint8_t>{0x00, 0x10, 0x03, 0x00, 0xFF});
    EXPECT_EQ(view.selected.back(), "ms_1_option_dpi_step_3");
    EXPECT_EQ(session.profiles().current()->modes[0].dpiStage, 2);
    const auto shown = seen.dpiShown.size();
    const auto selections = view.selected.size();
    for (const std::vector<std::uint8_t>& bad :
         std::vector<std::vector<std::uint8_t>>{{},
                                                {0x10},
                                                {0x10, 0x40},
                                                {0x10, 0x40, 0x01},
                                                {0x34, 0x12, 0x05, 0x00},
                                                {0x00, 0x90, 0x01, 0x00}}) {
        session.link().onBleNotification(bad);
    }
    EXPECT_EQ(seen.dpiShown.size(), shown);
    EXPECT_EQ(view.selected.size(), selections);
    EXPECT_EQ(session.profiles().current()->modes[0].dpiStage, 2);
}

}  // namespace
}  // namespace tvq
