// Presence, status reports and the link watchdog, on a recording page.
#include <gtest/gtest.h>

#include <algorithm>

#include "device/mouse_link.h"
#include "fake_device_library.h"
#include "fake_page_view.h"
#include "profiles/profile_store.h"
#include "store_fixture.h"

namespace tvq {
namespace {

using testing::FakeCableLibrary;
using testing::FakeLibraryLoader;
using testing::FakeReceiverLibrary;

class FakeBle final : public BleControl {
  public:
    std::vector<std::string> calls;
    void setTags(std::string_view v, std::string_view p) override {
        calls.push_back("tags " + std::string(v) + " " + std::string(p));
    }
    void clearTags() override { calls.push_back("clear"); }
    void subscribeNotifications() override { calls.push_back("subscribe"); }
};

class DeviceStateTest : public ::testing::Test, public testing::StoreFixture {
  protected:
    void SetUp() override {
        FakeLibraryLoader::reset();
        texts.texts["charging_text"] = "Charging";
        store.load(macros);
    }

    void start(bool cable, bool receiver, bool bleFound = false) {
        FakeCableLibrary::state().present = cable ? 1 : 0;
        FakeReceiverLibrary::state().present = receiver ? 1 : 0;
        link.start(loader, "/opt/tvq/", &window, bleFound);
    }
    LinkState& links() { return link.links(); }
    int savesSoFar() const { return fs.writes; }

    MacroStore macros{location, texts};
    ProfileStore store{location, texts};
    testing::FakePageView view;
    FakeLibraryLoader loader;
    FakeBle ble;
    MessageWindow window{};
    MouseLink link{view, texts, store, &ble};
};

TEST_F(DeviceStateTest, LibrariesAreConfiguredInOrderAndUnloadedAfterTheWorker) {
    start(true, false);
    EXPECT_EQ(loader.log, (std::vector<std::string>{"load hiddriver_2.so", "load hiddriver_1.so"}));
    EXPECT_EQ(FakeCableLibrary::state().vendor, 0x1D57);
    EXPECT_EQ(FakeCableLibrary::state().product, 0xFA61);
    EXPECT_EQ(FakeCableLibrary::state().dataMessage, 1327u);
    EXPECT_EQ(FakeCableLibrary::state().attachMessage, 1328u);
    EXPECT_EQ(FakeCableLibrary::state().window, &window);
    EXPECT_EQ(FakeReceiverLibrary::state().product, 0xFA60);
    EXPECT_EQ(FakeReceiverLibrary::state().dataMessage, 1325u);
    EXPECT_EQ(FakeReceiverLibrary::state().calls,
              (std::vector<std::string>{"Set_VIDPID", "Open_DevMonitor", "Open_FeatureDevice"}));

    link.shutdown();
    EXPECT_EQ(FakeReceiverLibrary::state().calls.back(), "Close_DevMonitor");
    EXPECT_EQ(FakeCableLibrary::state().calls.back(), "Close_DevMonitor");
    EXPECT_EQ(loader.log.back(), "unload hiddriver_1.so");
    EXPECT_EQ(loader.log[2], "unload hiddriver_2.so");
}

TEST_F(DeviceStateTest, AMissingLibraryOrEntryPointLeavesThatLinkUnavailable) {
    loader.missingFiles = {"hiddriver_2.so"};
    FakeReceiverLibrary::state().missingSymbols = {"GetFeature"};
    start(true, true);
    EXPECT_FALSE(link.cableAvailable());
    EXPECT_FALSE(link.receiverAvailable());
    EXPECT_TRUE(FakeReceiverLibrary::state().calls.empty());  // never called
    EXPECT_EQ(links().anyConnected.load(), 0);
    EXPECT_EQ(view.count(msg::kConnectionChanged), 1);
    link.shutdown();
}

TEST_F(DeviceStateTest, StartUpWithOnlyTheReceiver) {
    start(false, true);
    EXPECT_EQ(links().wiredState.load(), kNeverAttached);
    EXPECT_EQ(links().receiverState.load(), kAttached);
    EXPECT_EQ(links().deviceAsleep.load(), 1);
    EXPECT_TRUE(view.shown("ms_1_sleep_label"));
    EXPECT_TRUE(view.shown("ms_1_wireless"));
    EXPECT_TRUE(view.hidden("ms_1_wired"));
    EXPECT_EQ(view.timers.at(timer::kLinkWatchdog), 6000);
    EXPECT_EQ(links().anyConnected.load(), 1);
    EXPECT_EQ(view.count(msg::kConnectionChanged), 1);
}

TEST_F(DeviceStateTest, StartUpWithTheCableShowsCharging) {
    start(true, false);
    EXPECT_EQ(links().deviceAsleep.load(), 0);
    EXPECT_TRUE(view.shown("ms_1_wired"));
    EXPECT_TRUE(view.hidden("ms_1_sleep_label"));
    EXPECT_EQ(view.text["ms_1_label_power"], "Charging");
    EXPECT_EQ(view.timers.at(timer::kChargeAnimation), 30);
    EXPECT_EQ(view.animationResets, 1);
}

TEST_F(DeviceStateTest, CablePluggedInWhileTheReceiverIsUpPostsNothing) {
    start(false, true);
    view.posted.clear();
    link.onWiredEvent(attachWord(1));
    EXPECT_EQ(links().wiredState.load(), kNeverAttached);  // not before 1000 ms
    const auto cableOpens = [] {
        const auto& calls = FakeCableLibrary::state().calls;
        return std::count(calls.begin(), calls.end(), "Open_FeatureDevice");
    };
    view.advance(999);
    EXPECT_EQ(cableOpens(), 1);  // the probe only
    view.advance(1);
    EXPECT_EQ(cableOpens(), 2);
    EXPECT_EQ(links().wiredState.load(), kAttached);
    EXPECT_EQ(view.text["ms_1_label_power"], "Charging");
    EXPECT_GT(view.lightRowUpdates, 0);
    EXPECT_EQ(view.count(msg::kConnectionChanged), 0);
}

TEST_F(DeviceStateTest, UnpluggingTheOnlyLinkAndPluggingItBackIn) {
    start(true, false);
    view.posted.clear();
    link.onWiredEvent(attachWord(0));
    EXPECT_EQ(links().wiredState.load(), kDetached);
    EXPECT_EQ(links().anyConnected.load(), 0);
    EXPECT_EQ(links().deviceAsleep.load(), 1);
    EXPECT_TRUE(view.shown("ms_1_sleep_label"));
    EXPECT_EQ(view.text["ms_1_label_power"], "");
    EXPECT_FALSE(view.timers.contains(timer::kChargeAnimation));
    EXPECT_EQ(view.count(msg::kConnectionChanged), 1);
    EXPECT_EQ(FakeCableLibrary::state().calls.back(), "Close_FeatureDevice");

    link.onWiredEvent(attachWord(0));  // repeated detach ignored
    EXPECT_EQ(view.count(msg::kConnectionChanged), 1);

    link.onWiredEvent(attachWord(1));
    view.advance(1000);
    EXPECT_EQ(links().wiredState.load(), kAttached);
    EXPECT_EQ(links().anyConnected.load(), 1);
    EXPECT_EQ(view.count(msg::kConnectionChanged), 2);
    EXPECT_EQ(view.animationResets, 2);
}

TEST_F(DeviceStateTest, TwoReceiverAttachesOpenTheChannelOnceAndADetachCancelsAPendingOne) {
    start(false, false);
    auto opens = [] {
        const auto& calls = FakeReceiverLibrary::state().calls;
        return std::count(calls.begin(), calls.end(), "Open_FeatureDevice");
    };
    link.onReceiverEvent(attachWord(1));
    link.onReceiverEvent(attachWord(1));
    view.advance(1000);
    link.onReceiverEvent(attachWord(1));
    view.advance(1000);
    EXPECT_EQ(opens(), 2);  // the probe and one attach
    EXPECT_EQ(view.timers.at(timer::kLinkWatchdog), 6000);

    link.onReceiverEvent(attachWord(0));
    EXPECT_FALSE(view.timers.contains(timer::kLinkWatchdog));
    link.onReceiverEvent(attachWord(1));
    link.onReceiverEvent(attachWord(0));  // gone again before it settled
    view.advance(1000);
    EXPECT_EQ(links().receiverState.load(), kDetached);
    EXPECT_EQ(opens(), 2);
}

TEST_F(DeviceStateTest, AttachWordsWithOtherValuesAreIgnored) {
    start(false, false);
    view.posted.clear();
    link.onWiredEvent(attachWord(2));
    link.onWiredEvent(0x7F000003);
    view.advance(2000);
    EXPECT_EQ(links().wiredState.load(), kNeverAttached);
    EXPECT_TRUE(view.posted.empty());
}

TEST_F(DeviceStateTest, HeartbeatShowsBatteryAndWakesTheMouse) {
    start(false, true);
    link.onReceiverEvent(statusWord(0x4010, 0x0701));
    EXPECT_EQ(view.text["ms_1_label_power"], "70%");
    EXPECT_EQ(view.progress["ms_1_progress_power"], 70);
    EXPECT_TRUE(view.hidden("ms_1_sleep_label"));
    EXPECT_EQ(links().deviceAsleep.load(), 0);
    EXPECT_EQ(links().receiverLinkUp.load(), 1);
    EXPECT_TRUE(view.shown("ms_1_ver_power"));
    EXPECT_EQ(view.timerLog.back(), "start 100");

    link.onReceiverEvent(statusWord(0x4010, 0x0000));
    EXPECT_TRUE(view.shown("ms_1_sleep_label"));
    EXPECT_EQ(links().deviceAsleep.load(), 1);
    EXPECT_EQ(view.text["ms_1_label_power"], "70%");

    link.onReceiverEvent(statusWord(0x4010, 0x0B01));  // level 11: battery unchanged
    EXPECT_EQ(links().deviceAsleep.load(), 0);
    EXPECT_EQ(view.progress["ms_1_progress_power"], 70);
    EXPECT_EQ(savesSoFar(), 1);  // only the first start saved
}

TEST_F(DeviceStateTest, WatchdogDeclaresTheReceiverLinkLost) {
    start(false, true);
    link.onReceiverEvent(statusWord(0x4010, 0x0A01));
    link.onWatchdog();
    EXPECT_TRUE(view.hidden("ms_1_wireless"));
    EXPECT_EQ(links().receiverLinkUp.load(), 0);
    EXPECT_EQ(links().receiverState.load(), kAttached);
    EXPECT_TRUE(view.shown("ms_1_sleep_label"));
    EXPECT_FALSE(view.timers.contains(timer::kLinkWatchdog));
}

TEST_F(DeviceStateTest, DpiStageReportSelectsTheStageAndSaves) {
    start(true, false);
    const int saves = link.saveRequests();
    link.onWiredEvent(statusWord(0x1000, 3));
    for (const ModeSettings& m : store.current()->modes) {
        EXPECT_EQ(m.dpiStage, 2);
    }
    EXPECT_EQ(view.selected.back(), "ms_1_option_dpi_step_3");
    EXPECT_EQ(view.posted.back(), (testing::FakePageView::Posted{msg::kDpiStageReported, 0, 160}));
    EXPECT_EQ(link.saveRequests(), saves + 1);

    for (std::uint16_t bad : {0, 9, 0xFFFF}) {
        link.onWiredEvent(statusWord(0x1000, bad));
    }
    EXPECT_EQ(link.saveRequests(), saves + 1);
    EXPECT_EQ(store.current()->modes[4].dpiStage, 2);
    // The worker writes it; at the latest when the link shuts down.
    link.shutdown();
    const ParsedProfileStore onDisk = parseProfileStore(fs.files.at(testing::kProPath));
    EXPECT_EQ(onDisk.profiles.at(0)->modes[4].dpiStage, 2);
}

TEST_F(DeviceStateTest, SavesThatPileUpWhileTheWorkerIsBusyMakeOneWrite) {
    // The worker is not started: requests wait in its queue.
    const int before = savesSoFar();
    link.requestSave();
    link.requestSave();
    link.requestSave();
    EXPECT_EQ(savesSoFar(), before);
    link.shutdown();
    EXPECT_EQ(savesSoFar(), before + 1);
}

TEST_F(DeviceStateTest, AcknowledgementsSetAndClearTheFlag) {
    start(false, true);
    link.onReceiverEvent(statusWord(0x5010, 0x0000));
    EXPECT_EQ(links().ackReceived.load(), 1);
    link.onReceiverEvent(statusWord(0x5010, 0x0001));
    EXPECT_EQ(links().ackReceived.load(), 0);
    link.onReceiverEvent(statusWord(0x5010, 0x0100));  // only the low byte counts
    EXPECT_EQ(links().ackReceived.load(), 1);
}

TEST_F(DeviceStateTest, ButtonModeReportSwitchesThePageWithoutSending) {
    start(true, false);
    link.onWiredEvent(statusWord(0x8000, 1));
    EXPECT_EQ(store.current()->buttonMode, 1);
    EXPECT_EQ(view.pageRefreshes, 1);
    EXPECT_EQ(view.selected.back(), "ms_1_option_button_mode_2");
    link.onWiredEvent(statusWord(0x8000, 4));
    EXPECT_EQ(store.current()->buttonMode, 4);
    EXPECT_EQ(view.selected.size(), 1u);  // modes 2..4 have no option
    link.onWiredEvent(statusWord(0x8000, 5));
    EXPECT_EQ(store.current()->buttonMode, 4);
    EXPECT_EQ(FakeCableLibrary::state().frames.size(), 0u);
}

TEST_F(DeviceStateTest, PollingAndSaveOnlyReports) {
    start(true, false);
    const int saves = link.saveRequests();
    link.onWiredEvent(statusWord(0x2000, 8));
    EXPECT_EQ(store.current()->modes[3].pollingRate, 0);
    link.onWiredEvent(statusWord(0x2000, 1));
    EXPECT_EQ(store.current()->modes[0].pollingRate, 3);
    link.onWiredEvent(statusWord(0x2000, 9));
    EXPECT_EQ(store.current()->modes[0].pollingRate, 3);
    link.onWiredEvent(statusWord(0x3200, 1234));
    EXPECT_EQ(link.saveRequests(), saves + 3);
    link.onWiredEvent(statusWord(0x6000, 5));
    link.onWiredEvent(statusWord(0x7000, 5));
    link.onWiredEvent(statusWord(0x1234, 5));
    link.onWiredEvent(0x0FFF0001);  // outside the status range
    link.onWiredEvent(0x90010001);
    EXPECT_EQ(link.saveRequests(), saves + 3);
    EXPECT_EQ(pollingRateFromReport(4), 1);
    EXPECT_EQ(pollingRateFromReport(2), 2);
}

TEST_F(DeviceStateTest, BleConnectionAndPanels) {
    start(false, true);
    view.checked["ms_1_check_prate"] = true;
    view.visible["ms_1_ver_prate"] = true;
    view.posted.clear();
    link.presence().setBleConnected(true);
    EXPECT_EQ(ble.calls, (std::vector<std::string>{"tags VID&02045E PID&0040", "subscribe"}));
    EXPECT_TRUE(view.shown("ms_1_BLE"));
    EXPECT_EQ(links().deviceAsleep.load(), 0);
    EXPECT_FALSE(view.isChecked("ms_1_check_prate"));
    EXPECT_TRUE(view.hidden("ms_1_check_prate"));
    EXPECT_TRUE(view.hidden("ms_1_ver_prate"));
    EXPECT_TRUE(view.hidden("ms_1_check_power"));
    EXPECT_EQ(view.count(msg::kConnectionChanged), 0);  // the receiver is attached

    link.presence().setBleConnected(false);
    link.presence().setBleConnected(false);  // a removal is always processed
    EXPECT_EQ(ble.calls.back(), "clear");
    EXPECT_TRUE(view.hidden("ms_1_BLE"));
    EXPECT_TRUE(view.shown("ms_1_sleep_label"));
}

TEST_F(DeviceStateTest, MessageWordPacking) {
    EXPECT_EQ(statusWord(0x4010, 0x0A01), 0x40100A01u);
    EXPECT_EQ(statusWord(0x14010, static_cast<std::intptr_t>(0xFFFF0A01)), 0x40100A01u);
    EXPECT_EQ(attachWord(1), 0x7F000001u);
    EXPECT_EQ(attachWord(0), 0x7F000002u);
    EXPECT_EQ(attachWord(2), 0x7F000000u);
}

}  // namespace
}  // namespace tvq
