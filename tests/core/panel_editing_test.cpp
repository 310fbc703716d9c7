// The settings panels' edits: what lands in the selected profile, what the
// page shows, and when the mouse is sent the profile.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "device/device_ids.h"
#include "editing/colour_channels.h"
#include "fake_device_library.h"
#include "fake_page_dialogs.h"
#include "fake_page_view.h"
#include "fake_scheduler.h"
#include "input/us_layout.h"
#include "page/controls.h"
#include "page/desktop_mouse_settings.h"
#include "page/settings_page.h"
#include "page_fixture.h"
#include "protocol/frames.h"

namespace tvq {
namespace {

using testing::FakeCableLibrary;
using testing::FakeLibraryLoader;

class PanelEditingTest : public ::testing::Test, public testing::PageFixture {
  protected:
    void SetUp() override {
        FakeLibraryLoader::reset();
        FakeCableLibrary::state().present = 1;
        texts.texts["sleep_timer_1_text"] = "Sleeps after ";
        texts.texts["sleep_timer_2_text"] = "min";
        startPage();
    }
    // Every mode slot holds `value` in `field`.
    template <class Get>
    bool allSlots(Get get, std::int32_t value) {
        return std::all_of(current().modes.begin(), current().modes.end(),
                           [&](const ModeSettings& m) { return get(m) == value; });
    }
};

TEST_F(PanelEditingTest, ADpiSliderStoresItsValueInEverySlotAndSettlesIntoOneApply) {
    const int before = applies();
    view.slide("ms_1_slider_dpi_3", 100);
    EXPECT_EQ(view.sliders["ms_1_label_dpi_3"], 4000);
    EXPECT_TRUE(allSlots([](const ModeSettings& m) { return m.dpiValue[2]; }, 100));
    // Ten steps within 500 ms of each other: one apply, 500 ms after the last.
    for (int step = 0; step < 10; ++step) {
        scheduler.advance(100);
        view.slide("ms_1_slider_dpi_3", 101 + step);
    }
    scheduler.advance(499);
    EXPECT_EQ(applies(), before);
    scheduler.advance(1);
    EXPECT_EQ(applies(), before + 1);
    EXPECT_EQ(current().modes[4].dpiValue[2], 110);
}

TEST_F(PanelEditingTest, OptionsAndTheMovementModeAreSentAtOnce) {
    const int before = applies();
    view.chooseOption("ms_1_option_dpi_step_4");
    EXPECT_TRUE(allSlots([](const ModeSettings& m) { return m.dpiStage; }, 3));
    view.chooseOption("ms_1_btn_prate_3");
    EXPECT_TRUE(allSlots([](const ModeSettings& m) { return m.pollingRate; }, 2));
    EXPECT_EQ(view.textKeys["ms_1_label_prate"], "prate_3_text");
    view.toggle("ms_1_check_movemode", true);
    EXPECT_TRUE(allSlots([](const ModeSettings& m) { return m.movementMode; }, 1));
    view.toggle("ms_1_check_movemode", false);
    EXPECT_TRUE(allSlots([](const ModeSettings& m) { return m.movementMode; }, 0));
    EXPECT_EQ(applies(), before + 4);
    // Names that are no control of the panels change nothing.
    for (const char* other : {"ms_1_option_dpi_step_9", "ms_1_btn_prate_0", "ms_1_slider_dpi_",
                              "ms_1_check_dpi_x", "unknown"}) {
        view.chooseOption(other);
        view.slide(other, 5);
        view.toggle(other, true);
    }
    EXPECT_EQ(applies(), before + 4);
}

TEST_F(PanelEditingTest, TheButtonModeShowsEveryControlFromTheNewSlot) {
    session.edit(
        [](Profile& p) {
            p.buttonMode = 0;
            p.modes[1].buttons[4].function = 51;  // a binding only slot 1 has
        },
        AfterEdit::kNothing);
    const int before = applies();
    view.chooseOption("ms_1_option_button_mode_2");
    EXPECT_EQ(current().buttonMode, 1);
    EXPECT_EQ(view.textKeys["ms_1_btn_key_5"], "task_view_text");
    EXPECT_EQ(applies(), before + 1);
    view.chooseOption("ms_1_option_button_mode_1");
    EXPECT_EQ(current().buttonMode, 0);
    EXPECT_NE(view.textKeys["ms_1_btn_key_5"], "task_view_text");
}

TEST_F(PanelEditingTest, LightingEffectsShowTheirRowsAndSettleAfter200Ms) {
    const auto rows = [this] {
        return std::string(view.shown("ms_1_hor_brightness") ? "B" : "-") +
               (view.shown("ms_1_hor_breathspeed") ? "S" : "-") +
               (view.shown("ms_1_hor_light_color") ? "C" : "-");
    };
    const int before = applies();
    view.chooseItem("ms_1_combo_light", 2);
    EXPECT_EQ(rows(), "-SC");
    view.chooseItem("ms_1_combo_light", 5);
    EXPECT_EQ(rows(), "-S-");
    view.chooseItem("ms_1_combo_light", 0);
    EXPECT_EQ(rows(), "---");
    EXPECT_TRUE(allSlots([](const ModeSettings& m) { return m.lightMode; }, 0));
    view.chooseItem("ms_1_combo_light_ble", 4);
    EXPECT_TRUE(allSlots([](const ModeSettings& m) { return m.lightModeBle; }, 4));
    scheduler.advance(199);
    EXPECT_EQ(applies(), before);
    scheduler.advance(1);
    EXPECT_EQ(applies(), before + 1);
    view.slide("ms_1_slider_brightness", 3);
    view.slide("ms_1_slider_breathspeed", 7);
    view.slide("ms_1_slider_sleep_timer", 7);
    EXPECT_TRUE(allSlots([](const ModeSettings& m) { return m.brightness; }, 3));
    EXPECT_TRUE(allSlots([](const ModeSettings& m) { return m.breathSpeed; }, 7));
    EXPECT_TRUE(allSlots([](const ModeSettings& m) { return m.sleepTimer; }, 7));
    EXPECT_EQ(view.text["ms_1_label_sleep_timer"], "Sleeps after 3.5 min");
    scheduler.advance(500);
    EXPECT_EQ(applies(), before + 2);
}

TEST_F(PanelEditingTest, ColourPickerResults) {
    session.edit(
        [](Profile& p) { writeAllSlots(p, [](ModeSettings& m) { m.dpiColor[1] = 0x0000FF; }); },
        AfterEdit::kNothing);
    const auto before = encodeProfile(current());
    const int applied = applies();
    // Cancelled: nothing changes in any slot and nothing is sent.
    view.click("ms_1_btn_dpi_color_2");
    ASSERT_EQ(dialogs.picks.size(), 1u);
    EXPECT_EQ(dialogs.picks[0],
              (std::pair<std::string, std::uint32_t>{"ms_1_btn_dpi_color_2", 0xFFFF0000u}));
    EXPECT_EQ(encodeProfile(current()), before);
    EXPECT_EQ(applies(), applied);
    // Chosen: stored in every slot in 0x00BBGGRR, shown and sent.
    dialogs.colour = 0xFF1EB40A;
    view.click("ms_1_btn_dpi_color_2");
    EXPECT_TRUE(allSlots(
        [](const ModeSettings& m) { return static_cast<std::int32_t>(m.dpiColor[1]); }, 0x0AB41E));
    EXPECT_EQ(view.colors["ms_1_btn_dpi_color_2"], 0xFF1EB40Au);
    EXPECT_EQ(applies(), applied + 1);
    // The lighting colour is sent whether or not one was chosen.
    dialogs.colour.reset();
    view.click("ms_1_btn_light_color");
    EXPECT_EQ(applies(), applied + 2);
    view.click("ms_1_btn_mouse_attribute");
    EXPECT_EQ(dialogs.mouseSettings, 1);
    EXPECT_EQ(applies(), applied + 2);
}

TEST_F(PanelEditingTest, ValuesOutOfTheSlidersRangeAreShownAndSentUnchangedUntilEdited) {
    session.edit(
        [](Profile& p) {
            writeAllSlots(p, [](ModeSettings& m) {
                m.dpiValue[0] = 300;
                m.brightness = -5;
                m.lightColor = 0xFF123456;
            });
        },
        AfterEdit::kNothing);
    MacroSlotTable slots{};
    const auto frames = applyFrames(current(), slots);
    page.refreshPage();
    EXPECT_EQ(view.sliders["ms_1_slider_dpi_1"], 300);  // the slider shows it clamped
    EXPECT_EQ(view.sliders["ms_1_label_dpi_1"], 12000);
    EXPECT_EQ(view.sliders["ms_1_slider_brightness"], -5);
    EXPECT_EQ(applyFrames(current(), slots), frames);
    EXPECT_EQ(current().modes[3].lightColor, 0xFF123456u);
}

TEST_F(PanelEditingTest, DpiStagesNeverReachZeroAndGoInAndOutOfTheCycle) {
    // Home on a slider: one step, never 0.
    view.values["ms_1_slider_dpi_1"](0);
    EXPECT_EQ(current().modes[2].dpiValue[0], 1);
    EXPECT_EQ(view.sliders["ms_1_label_dpi_1"], 40);
    // Typed in DPI: the nearest step, the slider following; never beyond the range.
    view.values["ms_1_label_dpi_2"](1010);
    EXPECT_EQ(current().modes[1].dpiValue[1], 25);
    EXPECT_EQ(view.sliders["ms_1_slider_dpi_2"], 25);
    EXPECT_EQ(view.sliders["ms_1_label_dpi_2"], 1000);
    view.values["ms_1_label_dpi_2"](20000);
    EXPECT_EQ(view.sliders["ms_1_label_dpi_2"], 8000);
    // A new profile's stages 5 to 8 are out of the cycle: shown so, inactive.
    EXPECT_FALSE(view.checked["ms_1_check_dpi_in_cycle_5"]);
    EXPECT_FALSE(view.enabled["ms_1_slider_dpi_5"]);
    EXPECT_TRUE(view.checked["ms_1_check_dpi_in_cycle_4"]);
    EXPECT_TRUE(view.enabled["ms_1_slider_dpi_4"]);
    // Put in, stage 5 takes stage 4's value rather than its 0.
    view.toggles["ms_1_check_dpi_in_cycle_5"](true);
    EXPECT_EQ(current().modes[4].dpiEnabled[4], 1);
    EXPECT_EQ(current().modes[4].dpiValue[4], current().modes[4].dpiValue[3]);
    EXPECT_TRUE(view.enabled["ms_1_slider_dpi_5"]);
    // The active stage taken out gives way to the first one left; the last
    // one in stays in, and the user is told.
    view.options["ms_1_option_dpi_step_2"]();
    for (int n = 1; n <= 5; ++n) {
        view.toggles[numbered("ms_1_check_dpi_in_cycle_", static_cast<std::size_t>(n))](false);
    }
    EXPECT_EQ(current().modes[0].dpiEnabled, (DpiTable{0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(current().modes[0].dpiStage, 4);
    EXPECT_TRUE(view.checked["ms_1_check_dpi_in_cycle_5"]);
    EXPECT_EQ(dialogs.asked.back(), "tell dpi_last_in_cycle_text");
}

TEST(ColourChannels, EditsReadTheirLeadingNumberAndClamp) {
    EXPECT_EQ(channelFromText("300").value, 255);
    EXPECT_EQ(*channelFromText("300").replacement, "255");
    EXPECT_EQ(channelFromText("-12").value, 0);
    EXPECT_EQ(*channelFromText("-12").replacement, "0");
    EXPECT_EQ(channelFromText("").value, 0);
    EXPECT_FALSE(channelFromText("").replacement);
    EXPECT_EQ(channelFromText("12ab").value, 12);
    EXPECT_FALSE(channelFromText("12ab").replacement);
    EXPECT_EQ(channelFromText("  +7").value, 7);
    EXPECT_EQ(channelFromText("abc").value, 0);
    EXPECT_EQ(channelFromText("-").value, 0);
    EXPECT_EQ(channelFromText("9999999999").value, 255);
    EXPECT_EQ(channelFromText("-9999999999").value, 0);
    EXPECT_EQ(channelFromText("099").value, 99);
    EXPECT_EQ(withChannel(0xFF102030, 0, 255), 0xFFFF2030u);
    EXPECT_EQ(withChannel(0x00102030, 2, 1), 0xFF102001u);
}

TEST(DesktopMouseSettings, TheDesktopsOwnProgramComesFirst) {
    EXPECT_EQ(mouseSettingsCommands("GNOME").front(),
              (std::vector<std::string>{"gnome-control-center", "mouse"}));
    EXPECT_EQ(mouseSettingsCommands("ubuntu:GNOME").front()[0], "gnome-control-center");
    EXPECT_EQ(mouseSettingsCommands("KDE").front()[0], "systemsettings");
    EXPECT_EQ(mouseSettingsCommands("xfce").front()[0], "xfce4-mouse-settings");
    EXPECT_EQ(mouseSettingsCommands("X-Cinnamon").front()[0], "cinnamon-settings");
    EXPECT_EQ(mouseSettingsCommands("LXQt").size(), 1u);
    // An unknown or empty desktop tries every program known.
    EXPECT_GT(mouseSettingsCommands("").size(), 5u);
    EXPECT_EQ(mouseSettingsCommands("Hyprland"), mouseSettingsCommands(""));
}

}  // namespace
}  // namespace tvq

namespace tvq {
namespace {

class FailureLineTest : public ::testing::Test, public testing::PageFixture {
  protected:
    void SetUp() override {
        testing::FakeLibraryLoader::reset();  // no mouse: applies only save
        fs.folders.insert(testing::kDataFolder + "ms_1");
        fs.folders.insert(testing::kDataFolder);
        fs.files[testing::kMacroPath] = std::vector<std::uint8_t>(300, 1);  // a trailing piece
        startPage();
    }
    // Until every apply asked for has finished and its events are shown.
    void settle() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        bool done = false;
        while (!done && std::chrono::steady_clock::now() < end) {
            const bool finished =
                session.link().appliesFinished() == session.link().applyRequests();
            done = scheduler.drainUiTasks() == 0 && finished;
            std::this_thread::yield();
        }
        ASSERT_TRUE(done);
    }
    bool lineShows(const char* key) {
        return view.visible["ms_1_apply_status"] && view.textKeys["ms_1_apply_status"] == key;
    }
};

TEST_F(FailureLineTest, FailedSavesAndUntakenAppliesAreSaidBesideTheApplyButton) {
    // The damaged macro library found at start was told of, once.
    EXPECT_EQ(std::count(dialogs.asked.begin(), dialogs.asked.end(), "tell store_damaged_text"), 1);
    fs.failWrites = true;
    session.requestApply();
    settle();
    EXPECT_TRUE(lineShows("store_save_failed_text"));
    EXPECT_EQ(view.styleStates["ms_1_apply_status"], "error");  // in the error's look
    fs.failWrites = false;
    session.requestApply();
    settle();
    EXPECT_TRUE(lineShows("saved_for_mouse_text"));  // no mouse: saved, and waiting for it
    EXPECT_EQ(view.styleStates["ms_1_apply_status"], "");

    fs.failWrites = true;  // a save without an apply
    session.edit([](Profile& p) { p.modes[0].sleepTimer = 3; }, AfterEdit::kSave);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!lineShows("store_save_failed_text") && std::chrono::steady_clock::now() < end) {
        scheduler.drainUiTasks();
        std::this_thread::yield();
    }
    EXPECT_TRUE(lineShows("store_save_failed_text"));

    // While frames go out, the line counts them, from the moment the apply
    // has lasted long enough not to flash past; a quicker one never shows it.
    texts.texts["writing_progress_text"] = "Writing %1 of %2";
    view.visible["ms_1_apply_status"] = false;
    page.presenter().applyStarted();
    page.presenter().frameSent(1, 12, 0x04, SendOutcome::kAccepted);
    EXPECT_FALSE(view.visible["apply_ring"] || view.visible["ms_1_apply_status"]);
    const auto writingDue = std::find_if(view.tickers.begin(), view.tickers.end(), [](auto* t) {
        return t->interval == LinkPresenter::kWritingShownAfterMs && t->running();
    });
    ASSERT_NE(writingDue, view.tickers.end());
    (*writingDue)->tick();
    EXPECT_TRUE(view.visible["apply_ring"]);
    EXPECT_EQ(view.text["ms_1_apply_status"], "Writing 2 of 12");
    page.presenter().frameSent(2, 12, 0x04, SendOutcome::kAccepted);
    EXPECT_EQ(view.text["ms_1_apply_status"], "Writing 3 of 12");
    EXPECT_TRUE(view.visible["ms_1_apply_status"]);

    // Frames the mouse never took: why, in the words of the link used.
    LinkState& links = session.link().links();
    links.anyConnected = 1;
    links.receiverState = kAttached;
    links.receiverLinkUp = 1;
    page.presenter().applyFinished(ApplyResult{true, 12, 4, true});
    EXPECT_TRUE(lineShows("apply_incomplete_text"));  // a silent receiver
    links.wiredState = kAttached;
    page.presenter().applyFinished(ApplyResult{true, 12, 4, true});
    EXPECT_TRUE(lineShows("apply_refused_cable_text"));
    links.wiredState = kDetached;
    links.receiverState = kDetached;
    links.bleConnected = 1;
    page.presenter().applyFinished(ApplyResult{true, 12, 4, true});
    EXPECT_TRUE(lineShows("apply_refused_ble_text"));

    // A mouse asleep takes nothing; the line never says it has the settings.
    page.presenter().applyFinished(ApplyResult{false, 0, 0, true});
    EXPECT_TRUE(lineShows("saved_for_asleep_mouse_text"));
    // tvqctl wrote a file through the program: the mouse has another profile.
    page.presenter().applyFinished(ApplyResult{true, 12, 12, true, false});
    EXPECT_TRUE(lineShows("written_from_outside_text"));
}

}  // namespace
}  // namespace tvq

namespace tvq {
namespace {

class NoMouseTest : public ::testing::Test, public testing::PageFixture {
  protected:
    void SetUp() override {
        testing::FakeLibraryLoader::reset();  // nothing on any link
        startPage();
    }
    void settle() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end &&
               (scheduler.drainUiTasks() != 0 ||
                session.link().appliesFinished() != session.link().applyRequests())) {
            std::this_thread::yield();
        }
    }
};

TEST_F(NoMouseTest, EditsAreSavedForTheMouseAndReachItWholeWhenItComes) {
    EXPECT_TRUE(view.visible["ms_1_no_mouse_note"]);
    session.edit([](Profile& p) { p.modes[0].dpiValue[0] = 44; }, AfterEdit::kApply);
    settle();
    EXPECT_TRUE(view.visible["ms_1_apply_status"]);
    EXPECT_EQ(view.textKeys["ms_1_apply_status"], "saved_for_mouse_text");
    ASSERT_TRUE(session.profiles().save());
    EXPECT_EQ(parseProfileStore(fs.files.at(testing::kProPath)).profiles[0]->modes[0].dpiValue[0],
              44);

    // The cable comes: everything is written, without a click.
    auto& cable = testing::FakeCableLibrary::state();
    cable.present = 1;
    session.link().onDeviceMessage(msg::kWiredAttach, 1, 0);
    scheduler.advance(kAttachSettleMs);
    settle();
    EXPECT_FALSE(view.visible["ms_1_no_mouse_note"]);
    // The line says the mouse has the settings, for a while.
    EXPECT_TRUE(view.visible["ms_1_apply_status"]);
    EXPECT_EQ(view.textKeys["ms_1_apply_status"], "applied_text");
    const auto shown = std::find_if(view.tickers.begin(), view.tickers.end(), [](auto* t) {
        return t->interval == LinkPresenter::kAppliedShownMs;
    });
    ASSERT_NE(shown, view.tickers.end());
    (*shown)->tick();
    EXPECT_FALSE(view.visible["ms_1_apply_status"]);
    const std::size_t sent = cable.frames.size();
    // As many frames as the apply button's whole apply sends.
    cable.frames.clear();
    view.click("ms_1_apply_btn");
    settle();
    EXPECT_GT(sent, 4u);
    EXPECT_EQ(sent, cable.frames.size());
}

}  // namespace
}  // namespace tvq
