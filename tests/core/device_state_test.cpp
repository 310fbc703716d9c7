// The mouse session's links: presence, status reports, the link watchdog and
// applies, with fake libraries, fake time and a recording observer. No page.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "device/device_ids.h"
#include "fake_device_library.h"
#include "fake_scheduler.h"
#include "protocol/status.h"
#include "recording_observer.h"
#include "session/mouse_session.h"
#include "store_fixture.h"

namespace tvq {
namespace {

using testing::FakeCableLibrary;
using testing::FakeLibraryLoader;
using testing::FakeReceiverLibrary;

class FakeBle final : public BleTransport {
  public:
    std::vector<std::string> calls;
    bool writeFrame(std::string_view, std::string_view, std::span<const std::uint8_t>) override {
        return true;
    }
    void subscribe(std::string_view v, std::string_view p) override {
        calls.push_back("subscribe " + std::string(v) + " " + std::string(p));
    }
    void unsubscribe() override { calls.push_back("unsubscribe"); }
};

class DeviceStateTest : public ::testing::Test, public testing::StoreFixture {
  protected:
    void SetUp() override {
        FakeLibraryLoader::reset();
        session.load();
        link().setObserver(&events);
    }

    void start(bool cable, bool receiver, bool bleFound = false) {
        FakeCableLibrary::state().present = cable ? 1 : 0;
        FakeReceiverLibrary::state().present = receiver ? 1 : 0;
        link().start(loader, "/opt/tvq/", &window, bleFound);
    }
    MouseLink& link() { return session.link(); }
    const LinkState& links() { return session.links(); }
    int savesSoFar() const { return fs.writes; }
    void cable(std::uintptr_t attached) { link().onDeviceMessage(msg::kWiredAttach, attached, 0); }
    void receiver(std::uintptr_t attached) {
        link().onDeviceMessage(msg::kReceiverAttach, attached, 0);
    }
    void wiredStatus(std::uint16_t code, std::uint16_t value) {
        link().onDeviceMessage(msg::kWiredData, code, value);
    }
    void receiverStatus(std::uint16_t code, std::uint16_t value) {
        link().onDeviceMessage(msg::kReceiverData, code, value);
    }
    bool applyFinished() const {
        return std::any_of(events.events.begin(), events.events.end(),
                           [](const std::string& e) { return e.rfind("apply finished", 0) == 0; });
    }
    // Runs the worker's hand-overs until `done`, for five seconds at most.
    template <class Done>
    bool drainUntil(Done done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < end) {
            scheduler.drainUiTasks();
            std::this_thread::yield();
        }
        return done();
    }

    testing::FakeScheduler scheduler;
    FakeLibraryLoader loader;
    FakeBle ble;
    MessageWindow window{};
    testing::FakeClock sendClock;  // the worker's: waits after frames take no time
    MouseSession session{location, texts, scheduler, &ble, &sendClock};
    testing::RecordingObserver events;
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

    session.shutdown();
    EXPECT_EQ(FakeReceiverLibrary::state().calls.back(), "Close_DevMonitor");
    EXPECT_EQ(FakeCableLibrary::state().calls.back(), "Close_DevMonitor");
    EXPECT_EQ(loader.log.back(), "unload hiddriver_1.so");
    EXPECT_EQ(loader.log[2], "unload hiddriver_2.so");
}

TEST_F(DeviceStateTest, AMissingLibraryOrEntryPointLeavesThatLinkUnavailable) {
    loader.missingFiles = {"hiddriver_2.so"};
    FakeReceiverLibrary::state().missingSymbols = {"GetFeature"};
    start(true, true);
    EXPECT_FALSE(link().cableAvailable());
    EXPECT_FALSE(link().receiverAvailable());
    EXPECT_TRUE(FakeReceiverLibrary::state().calls.empty());  // never called
    EXPECT_EQ(links().anyConnected.load(), 0);
    EXPECT_EQ(events.events, (std::vector<std::string>{"asleep", "probed (presence)"}));
}

TEST_F(DeviceStateTest, StartUpWithOnlyTheReceiver) {
    start(false, true);
    EXPECT_EQ(links().wiredState.load(), kNeverAttached);
    EXPECT_EQ(links().receiverState.load(), kAttached);
    EXPECT_EQ(links().deviceAsleep.load(), 1);
    EXPECT_TRUE(link().watchdogArmed());
    EXPECT_EQ(links().anyConnected.load(), 1);
    EXPECT_EQ(events.events, (std::vector<std::string>{"asleep", "probed (presence)"}));
}

TEST_F(DeviceStateTest, StartUpWithTheCableIsAwakeAndCharging) {
    start(true, false);
    EXPECT_EQ(links().deviceAsleep.load(), 0);
    EXPECT_FALSE(link().watchdogArmed());
    EXPECT_EQ(events.events, (std::vector<std::string>{"awake", "charging", "probed (presence)"}));
}

TEST_F(DeviceStateTest, CablePluggedInWhileTheReceiverIsUpIsNoPresenceChange) {
    start(false, true);
    events.events.clear();
    cable(1);
    EXPECT_EQ(links().wiredState.load(), kNeverAttached);  // not before 1000 ms
    const auto cableOpens = [] {
        const auto& calls = FakeCableLibrary::state().calls;
        return std::count(calls.begin(), calls.end(), "Open_FeatureDevice");
    };
    scheduler.advance(999);
    EXPECT_EQ(cableOpens(), 1);  // the probe only
    scheduler.advance(1);
    EXPECT_EQ(cableOpens(), 2);
    EXPECT_EQ(links().wiredState.load(), kAttached);
    EXPECT_EQ(events.events, (std::vector<std::string>{"awake", "cable attached", "charging"}));
}

TEST_F(DeviceStateTest, UnpluggingTheOnlyLinkAndPluggingItBackIn) {
    start(true, false);
    events.events.clear();
    cable(0);
    EXPECT_EQ(links().wiredState.load(), kDetached);
    EXPECT_EQ(links().anyConnected.load(), 0);
    EXPECT_EQ(links().deviceAsleep.load(), 1);
    EXPECT_EQ(FakeCableLibrary::state().calls.back(), "Close_FeatureDevice");
    EXPECT_EQ(events.events,
              (std::vector<std::string>{"asleep", "cable detached (presence)", "not charging"}));

    cable(0);  // repeated detach ignored
    EXPECT_EQ(events.events.size(), 3u);

    cable(1);
    scheduler.advance(1000);
    EXPECT_EQ(links().wiredState.load(), kAttached);
    EXPECT_EQ(links().anyConnected.load(), 1);
    EXPECT_TRUE(events.saw("cable attached (presence)"));
}

TEST_F(DeviceStateTest, TwoReceiverAttachesOpenTheChannelOnceAndADetachCancelsAPendingOne) {
    start(false, false);
    auto opens = [] {
        const auto& calls = FakeReceiverLibrary::state().calls;
        return std::count(calls.begin(), calls.end(), "Open_FeatureDevice");
    };
    receiver(1);
    receiver(1);
    scheduler.advance(1000);
    receiver(1);
    scheduler.advance(1000);
    EXPECT_EQ(opens(), 2);  // the probe and one attach
    EXPECT_TRUE(link().watchdogArmed());

    receiver(0);
    EXPECT_FALSE(link().watchdogArmed());
    receiver(1);
    receiver(0);  // gone again before it settled
    scheduler.advance(1000);
    EXPECT_EQ(links().receiverState.load(), kDetached);
    EXPECT_EQ(opens(), 2);
}

TEST_F(DeviceStateTest, AttachEventsWithOtherValuesAndStatusCodesAreNoAttach) {
    start(false, false);
    events.events.clear();
    cable(2);
    cable(3);
    // A status report whose code reads like the old packed attach word is a
    // status report, never an attach or a detach.
    wiredStatus(0x7F00, 1);
    wiredStatus(0x7F00, 2);
    scheduler.advance(2000);
    EXPECT_EQ(links().wiredState.load(), kNeverAttached);
    EXPECT_TRUE(events.events.empty());
}

TEST_F(DeviceStateTest, AStatusCodeOf0x7F00DoesNotDetachAPluggedCable) {
    start(true, false);
    wiredStatus(0x7F00, 2);
    EXPECT_EQ(links().wiredState.load(), kAttached);
    EXPECT_EQ(links().anyConnected.load(), 1);
}

TEST_F(DeviceStateTest, HeartbeatShowsBatteryAndWakesTheMouse) {
    start(false, true);
    events.events.clear();
    receiverStatus(0x4010, 0x0701);
    EXPECT_EQ(events.events, (std::vector<std::string>{"receiver link up", "awake", "battery 70"}));
    EXPECT_EQ(links().deviceAsleep.load(), 0);
    EXPECT_EQ(links().receiverLinkUp.load(), 1);

    receiverStatus(0x4010, 0x0000);
    EXPECT_EQ(events.events.back(), "asleep");
    EXPECT_EQ(links().deviceAsleep.load(), 1);

    events.events.clear();
    receiverStatus(0x4010, 0x0B01);  // level 11: battery unchanged
    EXPECT_EQ(events.events, std::vector<std::string>{"awake"});
    EXPECT_EQ(savesSoFar(), 1);  // only the first start saved
}

TEST_F(DeviceStateTest, WatchdogDeclaresTheReceiverLinkLostAfterSixSecondsWithoutHeartbeat) {
    start(false, true);
    receiverStatus(0x4010, 0x0A01);
    scheduler.advance(5000);
    receiverStatus(0x4010, 0x0A01);  // re-armed
    scheduler.advance(5999);
    EXPECT_EQ(links().receiverLinkUp.load(), 1);
    events.events.clear();
    scheduler.advance(1);
    EXPECT_EQ(links().receiverLinkUp.load(), 0);
    EXPECT_EQ(links().receiverState.load(), kAttached);
    EXPECT_FALSE(link().watchdogArmed());
    EXPECT_EQ(events.events, (std::vector<std::string>{"receiver link lost", "asleep"}));
}

TEST_F(DeviceStateTest, TheMouseMayHoldOtherSettingsAfterLinkChangesAndWakingUp) {
    start(true, true);
    scheduler.advance(1000);  // both attached
    const auto epoch = [this] { return links().connectionEpoch.load(); };
    std::uint32_t before = epoch();
    receiverStatus(0x4010, 0x0A01);  // link up, awake
    EXPECT_GT(epoch(), before);
    before = epoch();
    receiverStatus(0x4010, 0x0A01);  // a heartbeat like the last: nothing new
    receiverStatus(0x4010, 0x0000);  // asleep
    EXPECT_EQ(epoch(), before);
    receiverStatus(0x4010, 0x0A01);  // woke up
    EXPECT_GT(epoch(), before);
    for (const auto& change : std::vector<std::function<void()>>{
             [&] { scheduler.advance(6000); },  // the receiver's link lost
             [&] { cable(0); }, [&] { link().onBleConnection(true); }}) {
        before = epoch();
        change();
        EXPECT_GT(epoch(), before);
    }
}

TEST_F(DeviceStateTest, DpiStageReportSelectsTheStageAndSaves) {
    start(true, false);
    const int saves = link().saveRequests();
    wiredStatus(0x1000, 3);
    for (const ModeSettings& m : session.profiles().current()->modes) {
        EXPECT_EQ(m.dpiStage, 2);
    }
    EXPECT_EQ(events.events.back(), "dpi stage 2 value 160");
    EXPECT_EQ(link().saveRequests(), saves + 1);

    for (std::uint16_t bad : {0, 9, 0xFFFF}) {
        wiredStatus(0x1000, bad);
    }
    EXPECT_EQ(link().saveRequests(), saves + 1);
    EXPECT_EQ(session.profiles().current()->modes[4].dpiStage, 2);
    // The worker writes it; at the latest when the link shuts down.
    session.shutdown();
    const ParsedProfileStore onDisk = parseProfileStore(fs.files.at(testing::kProPath));
    EXPECT_EQ(onDisk.profiles.at(0)->modes[4].dpiStage, 2);
}

TEST_F(DeviceStateTest, SavesThatPileUpWhileTheWorkerIsBusyMakeOneWrite) {
    // The worker is not started: requests wait in its queue.
    const int before = savesSoFar();
    link().requestSave();
    link().requestSave();
    link().requestSave();
    EXPECT_EQ(savesSoFar(), before);
    session.shutdown();
    EXPECT_EQ(savesSoFar(), before + 1);
}

TEST_F(DeviceStateTest, AcknowledgementsSetAndClearTheFlag) {
    start(false, true);
    receiverStatus(0x5010, 0x0000);
    EXPECT_EQ(links().ackReceived.load(), 1);
    receiverStatus(0x5010, 0x0001);
    EXPECT_EQ(links().ackReceived.load(), 0);
    receiverStatus(0x5010, 0x0100);  // only the low byte counts
    EXPECT_EQ(links().ackReceived.load(), 1);
}

TEST_F(DeviceStateTest, ButtonModeReportSwitchesTheProfileWithoutSending) {
    start(true, false);
    wiredStatus(0x8000, 1);
    EXPECT_EQ(session.profiles().current()->buttonMode, 1);
    EXPECT_EQ(events.events.back(), "button mode 1");
    wiredStatus(0x8000, 4);
    EXPECT_EQ(session.profiles().current()->buttonMode, 4);
    wiredStatus(0x8000, 5);
    EXPECT_EQ(session.profiles().current()->buttonMode, 4);
    EXPECT_EQ(FakeCableLibrary::state().frames.size(), 0u);
}

TEST_F(DeviceStateTest, PollingAndSaveOnlyReports) {
    start(true, false);
    const int saves = link().saveRequests();
    wiredStatus(0x2000, 8);
    EXPECT_EQ(session.profiles().current()->modes[3].pollingRate, 0);
    wiredStatus(0x2000, 1);
    EXPECT_EQ(session.profiles().current()->modes[0].pollingRate, 3);
    EXPECT_EQ(events.events.back(), "polling 3");
    wiredStatus(0x2000, 9);
    EXPECT_EQ(session.profiles().current()->modes[0].pollingRate, 3);
    wiredStatus(0x3200, 1234);
    EXPECT_EQ(link().saveRequests(), saves + 3);
    for (std::uint16_t code : {0x6000, 0x7000, 0x1234, 0x0FFF, 0x9001}) {
        wiredStatus(code, 5);
    }
    EXPECT_EQ(link().saveRequests(), saves + 3);
}

TEST_F(DeviceStateTest, StatusDecoding) {
    using K = StatusEvent::Kind;
    EXPECT_EQ(decodeStatus(0x1000, 8), (StatusEvent{.kind = K::kDpiStage, .setting = 7}));
    EXPECT_EQ(decodeStatus(0x1000, 9).kind, K::kNone);
    EXPECT_EQ(decodeStatus(0x2000, 4).setting, 1);
    EXPECT_EQ(decodeStatus(0x2000, 2).setting, 2);
    EXPECT_EQ(decodeStatus(0x4010, 0x0A01),
              (StatusEvent{.kind = K::kHeartbeat, .awake = true, .batteryPercent = 100}));
    EXPECT_EQ(decodeStatus(0x4010, 0x0000).batteryPercent, 0);
    EXPECT_TRUE(decodeStatus(0x5010, 0x0100).acknowledged);
    EXPECT_EQ(decodeStatus(0x8000, 5).kind, K::kNone);
    EXPECT_EQ(decodeStatus(0x7F00, 1).kind, K::kNone);

    auto profile = newProfile(u"p");
    EXPECT_TRUE(applyStatusToProfile(decodeStatus(0x2000, 2), *profile));
    EXPECT_EQ(profile->modes[4].pollingRate, 2);
    EXPECT_FALSE(applyStatusToProfile(decodeStatus(0x4010, 0x0101), *profile));
}

TEST_F(DeviceStateTest, BleConnectionAndDisconnection) {
    start(false, true);
    events.events.clear();
    link().onBleConnection(true);
    EXPECT_EQ(ble.calls, (std::vector<std::string>{"subscribe VID&02045E PID&0040"}));
    EXPECT_EQ(links().deviceAsleep.load(), 0);
    // The receiver is attached: the mouse as a whole did not come.
    EXPECT_EQ(events.events, (std::vector<std::string>{"awake", "ble connected"}));
    link().onBleConnection(true);  // a second arrival changes nothing
    EXPECT_EQ(events.events.size(), 2u);

    link().onBleConnection(false);
    link().onBleConnection(false);  // a removal is always processed
    EXPECT_EQ(ble.calls.back(), "unsubscribe");
    EXPECT_EQ(std::count(events.events.begin(), events.events.end(), "ble disconnected"), 2);
    EXPECT_TRUE(events.saw("asleep"));  // neither the receiver's link nor the cable is up
}

// The whole session with no page: attach, heartbeat, a DPI stage report, an
// apply and the detach, told to the observer in that order.
TEST_F(DeviceStateTest, ASessionFromAttachToDetach) {
    start(false, false);
    events.events.clear();
    FakeReceiverLibrary::state().present = 1;
    receiver(1);
    scheduler.advance(1000);
    receiverStatus(0x4010, 0x0801);
    receiverStatus(0x1000, 2);
    EXPECT_EQ(events.events,
              (std::vector<std::string>{"receiver attached (presence)", "receiver link up", "awake",
                                        "battery 80", "dpi stage 1 value 80"}));

    // The fake receiver never acknowledges: every frame is written ten
    // times and counts as not taken. Fake time makes the waits instant.
    FakeReceiverLibrary::state().accept = 1;
    session.edit([](Profile& p) { writeAllSlots(p, [](ModeSettings& m) { m.lightMode = 3; }); },
                 AfterEdit::kApply);
    ASSERT_TRUE(drainUntil([&] { return applyFinished(); }));
    EXPECT_TRUE(events.saw("apply started"));
    EXPECT_TRUE(events.lastResult.ran);
    EXPECT_GT(events.lastResult.frames, 0u);
    EXPECT_EQ(events.lastResult.taken, 0u);
    EXPECT_FALSE(events.lastResult.complete());
    // A silent mouse is no stale channel: the receiver's is not opened again.
    const auto& calls = FakeReceiverLibrary::state().calls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Close_FeatureDevice"), 0);
    EXPECT_FALSE(FakeReceiverLibrary::state().frames.empty());
    // The store holds the edit after the apply.
    const ParsedProfileStore onDisk = parseProfileStore(fs.files.at(testing::kProPath));
    EXPECT_EQ(onDisk.profiles.at(0)->modes[2].lightMode, 3);

    receiver(0);
    EXPECT_EQ(events.events.back(), "receiver detached (presence)");
    EXPECT_EQ(links().anyConnected.load(), 0);
}

TEST_F(DeviceStateTest, AnEditWithoutALinkIsStillSaved) {
    start(false, false);
    const int before = savesSoFar();
    session.edit([](Profile& p) { p.buttonMode = 1; }, AfterEdit::kApply);
    ASSERT_TRUE(drainUntil([&] { return applyFinished(); }));
    EXPECT_FALSE(events.lastResult.ran);
    EXPECT_EQ(savesSoFar(), before + 1);
    EXPECT_EQ(parseProfileStore(fs.files.at(testing::kProPath)).profiles.at(0)->buttonMode, 1);
}

TEST_F(DeviceStateTest, AnEditStillSettlingAtTheEndIsSavedAndWrittenWholeAtTheNextStart) {
    start(true, false);
    session.edit([](Profile& p) { writeAllSlots(p, [](ModeSettings& m) { m.dpiValue[0] = 77; }); },
                 AfterEdit::kApply, 500);
    session.shutdown();  // SIGTERM within the settle time
    EXPECT_EQ(
        parseProfileStore(fs.files.at(testing::kProPath)).profiles.at(0)->modes[0].dpiValue[0], 77);
    const std::string marker = testing::kDataFolder + "ms_1/unwritten";
    ASSERT_TRUE(fs.files.contains(marker));

    // The next start writes the profile, whole, at its first connection.
    FakeLibraryLoader::reset();
    FakeCableLibrary::state().present = 1;
    testing::FakeScheduler nextScheduler;
    testing::FakeClock nextClock;
    MouseSession next{location, texts, nextScheduler, &ble, &nextClock};
    next.load();
    next.link().start(loader, "/opt/tvq/", &window, false);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (next.link().appliesFinished() == 0 && std::chrono::steady_clock::now() < end) {
        nextScheduler.drainUiTasks();
    }
    ASSERT_EQ(next.link().appliesFinished(), 1);
    EXPECT_EQ(FakeCableLibrary::state().frames.size(), 12u);
    EXPECT_FALSE(next.link().unwritten());
    next.shutdown();
    EXPECT_FALSE(fs.files.contains(marker));
}

TEST_F(DeviceStateTest, AFloodOfProfileSwitchesIsSavedOnceASecondAndAnEditAtOnce) {
    start(true, false);
    session.profiles().append(newProfile(u"Second"));
    session.requestApply();
    const auto settled = [&] {
        return drainUntil([&] { return link().appliesFinished() == link().applyRequests(); });
    };
    ASSERT_TRUE(settled());
    const int before = savesSoFar();
    for (int i = 1; i <= 51; ++i) {  // the bus, or the focus, switching fast
        session.profiles().select(i % 2);
        session.requestApply();
    }
    ASSERT_TRUE(settled());
    EXPECT_EQ(savesSoFar(), before);
    scheduler.drainUiTasks();  // what the worker handed over, before time moves
    scheduler.advance(1000);   // once a second, and once at the end
    ASSERT_TRUE(drainUntil([&] { return events.saw("store saved"); }));
    EXPECT_EQ(savesSoFar(), before + 1);
    EXPECT_EQ(parseProfileStore(fs.files.at(testing::kProPath)).currentIndex, 1);
    // An edit of a setting is saved with its apply, at once.
    session.edit([](Profile& p) { p.modes[0].sleepTimer = 7; }, AfterEdit::kApply);
    ASSERT_TRUE(settled());
    EXPECT_EQ(savesSoFar(), before + 2);
}

TEST_F(DeviceStateTest, AChannelThatRefusesEveryWriteIsOpenedAgainOnce) {
    start(true, false);
    // A mouse that restarted: the old channel refuses everything, a new one
    // takes the frames.
    auto& cable = FakeCableLibrary::state();
    cable.onFrame = [&cable](auto) {
        return std::count(cable.calls.begin(), cable.calls.end(), "Open_FeatureDevice") > 1 ? 1 : 0;
    };
    session.requestApply();
    ASSERT_TRUE(drainUntil([&] { return applyFinished(); }));
    EXPECT_TRUE(events.lastResult.complete());
    EXPECT_EQ(std::count(cable.calls.begin(), cable.calls.end(), "Close_FeatureDevice"), 1);
    // Refused on the fresh channel too: told, not tried again and again.
    cable.onFrame = [](auto) { return 0; };
    events.events.clear();
    session.requestWholeApply();
    ASSERT_TRUE(drainUntil([&] { return applyFinished(); }));
    EXPECT_FALSE(events.lastResult.complete());
    EXPECT_EQ(std::count(cable.calls.begin(), cable.calls.end(), "Close_FeatureDevice"), 2);
}

TEST_F(DeviceStateTest, EditsWithASettleTimeMakeOneApply) {
    start(true, false);
    for (int step = 0; step < 10; ++step) {
        session.edit([step](Profile& p) { p.buttonMode = step % 2; }, AfterEdit::kApply, 500);
        scheduler.advance(100);
    }
    const auto sent = [] { return FakeCableLibrary::state().frames.size(); };
    EXPECT_EQ(sent(), 0u);
    scheduler.advance(400);
    ASSERT_TRUE(drainUntil([&] { return applyFinished(); }));
    EXPECT_TRUE(events.lastResult.complete());
    const auto applies =
        (std::count_if(events.events.begin(), events.events.end(),
                       [](const std::string& e) { return e.rfind("apply finished", 0) == 0; }));
    EXPECT_EQ(applies, 1);
}

}  // namespace
}  // namespace tvq
