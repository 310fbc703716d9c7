// The real device-access libraries against tvq-virtual-mouse: through
// tvqctl as a user runs it, and in-process through a session and the page.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/manual_scheduler.h"
#include "base/text.h"
#include "device/device_ids.h"
#include "device/message_queue.h"
#include "device_model.h"
#include "fake_page_view.h"
#include "input/us_layout.h"
#include "mouse_config.h"
#include "page/settings_page.h"
#include "platform/shared_library.h"
#include "processes.h"
#include "profiles/profile_store.h"
#include "protocol/frames.h"
#include "recording_observer.h"
#include "scoped_env.h"
#include "state_recorder.h"
#include "store_fixture.h"
#include "virtual_mouse_process.h"

namespace tvq {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::ordered_json;
using testing::expectedConfig;
using testing::heldConfig;
using testing::VirtualMouseProcess;
using SteadyClock = std::chrono::steady_clock;

std::string programFolder() {
    return std::string(TVQ_PROGRAM_FOLDER) + "/";
}

// A profile that uses every kind of binding, with macros on buttons 2 and 12.
std::unique_ptr<Profile> macroProfile() {
    auto p = newProfile(u"Macros");
    ButtonBinding macro;
    macro.function = function::kMacro;
    setFieldText(macro.macroName, u"Combo");
    macro.macroLoopCount = 3;
    macro.macroRepeatMode = 1;
    macro.macroActionCount = 4;
    macro.macroActions[0] = {0xE0, 1, 20};
    macro.macroActions[1] = {0x06, 1, 3000};
    macro.macroActions[2] = {0x06, 2, 15};
    macro.macroActions[3] = {0xE0, 2, 10};
    storeBinding(*p, 2, macro);
    p->modes[0].buttons[12] = macro;
    ButtonBinding shortcut;
    shortcut.function = function::kShortcut;
    shortcut.shortcutModifiers = 0x05;
    shortcut.shortcutKey = 0x04;
    storeBinding(*p, 5, shortcut);
    writeAllSlots(*p, [](ModeSettings& m) {
        m.dpiValue[4] = 120;
        m.dpiEnabled[4] = 1;
        m.lightMode = 1;
        m.brightness = 5;
        m.lightColor = 0x00FF80;
        m.pollingRate = 3;
    });
    p->buttonMode = 1;
    return p;
}

struct Result {
    int status = -1;
    std::string out;
    long ms = 0;
};

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tvq-it-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& n) const { return path_ + "/" + n; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Runs tvqctl with TVQ_VIRTUAL_MOUSE pointing at `socket`.
Result tvqctl(const std::string& socket, const std::string& args, const TempFolder& dir) {
    const std::string command = "TVQ_VIRTUAL_MOUSE='" + socket + "' '" TVQCTL_PATH "' " + args +
                                " >'" + (dir / "out") + "' 2>&1";
    const auto start = SteadyClock::now();
    const int raw = std::system(command.c_str());
    Result r;
    r.ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start).count();
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(dir / "out");
    std::stringstream s;
    s << in.rdbuf();
    r.out = s.str();
    return r;
}

void writeProfile(const std::string& path, const Profile& p) {
    const auto bytes = encodeProfile(p);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class TvqctlApply : public ::testing::Test {
  protected:
    TempFolder dir;
    std::string profileFile(const Profile& p) {
        writeProfile(dir / "p.pro", p);
        return "apply '" + (dir / "p.pro") + "'";
    }
};

TEST_F(TvqctlApply, DefaultAndMacroProfilesOverTheCable) {
    VirtualMouseProcess mouse({"--cable"});
    for (const auto& profile : {newProfile(u"Default"), macroProfile()}) {
        const Result r = tvqctl(mouse.socketPath(), profileFile(*profile), dir);
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(heldConfig(mouse), expectedConfig(*profile));
    }
    EXPECT_EQ(Json::parse(mouse.command("stats"))["refused"], 0);
}

TEST_F(TvqctlApply, MacroProfileThroughTheReceiver) {
    VirtualMouseProcess mouse({"--receiver", "--heartbeat-ms", "100"});
    const auto profile = macroProfile();
    const Result r = tvqctl(mouse.socketPath(), profileFile(*profile), dir);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("acknowledged"), std::string::npos);
    const Json held = heldConfig(mouse);
    EXPECT_EQ(held, expectedConfig(*profile));
    // Spot checks against the profile itself.
    EXPECT_EQ(held["buttonMode"], 2);
    EXPECT_EQ(held["slots"]["1"]["lighting"]["color"], "#80FF00");
    EXPECT_EQ(held["slots"]["2"]["dpi"]["enabledMask"], 0x1F);
    EXPECT_EQ(held["macros"]["1"]["loops"], 3);
    EXPECT_EQ(held["macros"].size(), 2u);
    EXPECT_EQ(held["polling"]["2"], 1);
}

TEST_F(TvqctlApply, RefusedFramesNoMouseAndASleepingMouse) {
    VirtualMouseProcess mouse({"--cable"});
    mouse.command("refuse 2");
    Result r = tvqctl(mouse.socketPath(), profileFile(*newProfile(u"x")), dir);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("2 frame(s)"), std::string::npos) << r.out;

    mouse.command("unplug cable");
    r = tvqctl(mouse.socketPath(), profileFile(*newProfile(u"x")), dir);
    EXPECT_EQ(r.status, 2) << r.out;

    mouse.command("plug receiver");
    mouse.command("period 50");
    mouse.command("sleep");
    r = tvqctl(mouse.socketPath(), profileFile(*newProfile(u"x")), dir);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("asleep"), std::string::npos);

    r = tvqctl(dir / "no-such.sock", profileFile(*newProfile(u"x")), dir);
    EXPECT_EQ(r.status, 2) << r.out;
}

TEST_F(TvqctlApply, UnpluggingTheReceiverMidwayEndsTheApply) {
    VirtualMouseProcess mouse({"--receiver", "--heartbeat-ms", "100"});
    writeProfile(dir / "p.pro", *newProfile(u"x"));
    // Unplugs once the apply is under way: the mouse has taken frames.
    std::thread unplug([&] {
        const auto end = SteadyClock::now() + 10s;
        while (SteadyClock::now() < end) {
            const Json stats = Json::parse(mouse.command("stats"), nullptr, false);
            if (stats.is_object() && stats.value("accepted", 0) >= 2) {
                break;
            }
            std::this_thread::yield();
        }
        mouse.command("unplug receiver");
    });
    const Result r = tvqctl(mouse.socketPath(), "apply '" + (dir / "p.pro") + "'", dir);
    unplug.join();
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_LT(r.ms, 6000) << "the apply went on after the receiver left";
}

TEST(ReceiverOnTheRealLibrary, AFrameThatIsNeverAcknowledgedIsWrittenTenTimes) {
    VirtualMouseProcess mouse({"--receiver", "--no-ack", "--no-heartbeat"});
    const testing::ScopedEnv env(paths::kVirtualMouseEnvironment, mouse.socketPath());
    SharedLibraryLoader loader;
    FeatureTransport receiver;
    ASSERT_TRUE(receiver.load(loader, programFolder() + "hiddriver_1.so"));
    receiver.setVidPid(usb::kVendor, usb::kReceiverProduct);
    ASSERT_EQ(receiver.openFeature(), 1);
    LinkState links;
    links.receiverState = kAttached;
    links.receiverLinkUp = 1;
    SystemClock clock;
    SendPath path(links, clock, nullptr, &receiver, nullptr);
    SendOutcome outcome{};
    const auto start = SteadyClock::now();
    path.sendReport(lightingFrame(newProfile(u"x")->modes[0], 0), &outcome);
    const auto elapsed = SteadyClock::now() - start;
    receiver.closeFeature();
    EXPECT_EQ(outcome, SendOutcome::kUnacknowledged);
    // The last write may still be on its way to the mouse when the send
    // path gives up on it.
    const auto accepted = [&] {
        return Json::parse(mouse.command("stats"))["accepted"].get<int>();
    };
    EXPECT_TRUE(testing::waitFor([&] { return accepted() >= 10; }, 2000ms));
    EXPECT_EQ(accepted(), 10);
    // Ten waits of 700 ms, counted in whole milliseconds: each may end up to
    // 1 ms early in real time (one run measured 6999.8 ms).
    EXPECT_GE(elapsed, 7000ms - 10ms);
}

TEST(RealLibraries, EachCopyKeepsItsOwnDevice) {
    VirtualMouseProcess mouse({"--cable"});
    const testing::ScopedEnv env(paths::kVirtualMouseEnvironment, mouse.socketPath());
    SharedLibraryLoader loader;
    FeatureTransport cable, receiver;
    ASSERT_TRUE(cable.load(loader, programFolder() + "hiddriver_2.so"));
    ASSERT_TRUE(receiver.load(loader, programFolder() + "hiddriver_1.so"));
    cable.setVidPid(usb::kVendor, usb::kCableProduct);
    receiver.setVidPid(usb::kVendor, usb::kReceiverProduct);  // must not change the cable's
    EXPECT_EQ(cable.openFeature(), 1);
    EXPECT_EQ(receiver.openFeature(), 0);
    const Frame f = lightingFrame(newProfile(u"x")->modes[0], 0);
    EXPECT_EQ(cable.write(f), 1);
    EXPECT_EQ(receiver.write(f), 0);
    cable.closeFeature();
    EXPECT_EQ(cable.write(f), 0);  // a closed channel refuses
}

TEST(RealLibraries, ClosingTheChannelWhileWritesRunIsSafe) {
    VirtualMouseProcess mouse({"--cable"});
    const testing::ScopedEnv env(paths::kVirtualMouseEnvironment, mouse.socketPath());
    SharedLibraryLoader loader;
    FeatureTransport cable;
    ASSERT_TRUE(cable.load(loader, programFolder() + "hiddriver_2.so"));
    cable.setVidPid(usb::kVendor, usb::kCableProduct);
    ASSERT_EQ(cable.openFeature(), 1);
    std::atomic<bool> stop{false};
    std::atomic<int> accepted{0}, refused{0};
    std::thread writer([&] {
        const Frame f = lightingFrame(newProfile(u"x")->modes[0], 0);
        while (!stop.load()) {
            (cable.write(f) != 0 ? accepted : refused)++;
        }
    });
    for (int i = 0; i < 50; ++i) {
        std::this_thread::sleep_for(2ms);
        cable.closeFeature();
        cable.openFeature();
    }
    cable.closeFeature();
    const int refusedBefore = refused.load();
    const auto end = SteadyClock::now() + 5s;
    while (refused.load() == refusedBefore && SteadyClock::now() < end) {
        std::this_thread::yield();
    }
    stop = true;
    writer.join();
    EXPECT_GT(accepted.load(), 0);
    EXPECT_GT(refused.load(), 0);  // writes after the last close returned 0
}

// A session and the page's presenter in-process, with the real libraries.
class MouseLinkOnRealLibraries : public ::testing::Test, public testing::StoreFixture {
  protected:
    void start(const std::vector<std::string>& options,
               const std::string& folder = programFolder()) {
        mouse = std::make_unique<VirtualMouseProcess>(options);
        env = std::make_unique<testing::ScopedEnv>(paths::kVirtualMouseEnvironment,
                                                   mouse->socketPath());
        texts.texts["charging_text"] = "Charging";
        session.load();
        session.link().start(loader, folder, &window, false);
        // A report reaches only the monitors connected when it is sent: the
        // two libraries' monitors connect on threads of their own.
        if (link.cableAvailable() && link.receiverAvailable()) {
            ASSERT_TRUE(pumpUntil(
                [&] { return Json::parse(mouse->command("stats"))["monitors"].get<int>() >= 2; },
                5000ms));
        }
    }
    void TearDown() override { session.shutdown(); }

    // Plays the main window for `duration`: routes the libraries' messages
    // and runs the tasks handed to the user-interface thread.
    void pump(std::chrono::milliseconds duration) {
        const auto end = SteadyClock::now() + duration;
        while (SteadyClock::now() < end) {
            if (const auto m = window.next(10ms)) {
                session.link().onDeviceMessage(m->message, m->wParam, m->lParam);
            }
            scheduler.runDue();
        }
    }

    template <class Predicate>
    bool pumpUntil(Predicate done, std::chrono::milliseconds limit) {
        const auto end = SteadyClock::now() + limit;
        while (!done() && SteadyClock::now() < end) {
            pump(20ms);
        }
        return done();
    }
    const Profile& current() { return *session.profiles().current(); }
    // Whether the apply ring shows; plays the timer that shows it once an
    // apply has lasted a moment.
    bool ringShown() {
        for (testing::FakeTicker* t : view.tickers) {
            if (t->interval == LinkPresenter::kWritingShownAfterMs) {
                t->tick();
            }
        }
        return view.shown("apply_ring");
    }

    SystemClock uiClock;
    ManualScheduler scheduler{uiClock};
    MouseSession session{location, texts, scheduler};
    testing::FakePageView view;
    UsKeyboardLayout us;
    KeyNames keys{us, texts};
    SettingsPage page{view, texts, keys, session};
    testing::StateRecorder seen{session.link().state()};
    SharedLibraryLoader loader;
    MessageQueueWindow window;
    std::unique_ptr<VirtualMouseProcess> mouse;
    std::unique_ptr<testing::ScopedEnv> env;
    MouseLink& link = session.link();
};

TEST_F(MouseLinkOnRealLibraries, ReceiverHeartbeatsThenTheWatchdog) {
    start({"--receiver", "--heartbeat-ms", "100", "--battery", "6"});
    EXPECT_EQ(link.links().receiverState.load(), kAttached);
    EXPECT_TRUE(view.shown("ms_1_wireless"));
    ASSERT_TRUE(pumpUntil([&] { return link.links().receiverLinkUp.load() == 1; }, 2000ms));
    EXPECT_EQ(view.text["ms_1_label_power"], "60%");
    EXPECT_EQ(link.links().deviceAsleep.load(), 0);

    mouse->command("heartbeat off");
    // Six seconds without a heartbeat: the receiver's link counts as lost.
    ASSERT_TRUE(pumpUntil([&] { return link.links().receiverLinkUp.load() == 0; }, 9000ms));
    EXPECT_TRUE(view.hidden("ms_1_wireless"));
    EXPECT_TRUE(view.shown("ms_1_sleep_label"));
}

TEST_F(MouseLinkOnRealLibraries, DpiStageChangeOnTheMouseReachesThePageAndTheStore) {
    start({"--cable"});
    EXPECT_EQ(link.links().wiredState.load(), kAttached);
    const int saves = fs.writes;
    mouse->command("dpi-stage 3");
    ASSERT_TRUE(pumpUntil([&] { return !view.selected.empty(); }, 2000ms));
    EXPECT_EQ(view.selected.back(), "ms_1_option_dpi_step_3");
    EXPECT_EQ(current().modes[0].dpiStage, 2);
    EXPECT_EQ(static_cast<int>(seen.dpiShown.size()), 1);
    EXPECT_EQ(seen.dpiShown.back(), 160);
    EXPECT_EQ(link.saveRequests(), 1);
    link.shutdown();  // the worker has written the store by now
    EXPECT_GE(fs.writes, saves + 1);
    EXPECT_EQ(parseProfileStore(fs.files.at(testing::kProPath)).profiles.at(0)->modes[0].dpiStage,
              2);
}

TEST_F(MouseLinkOnRealLibraries, MalformedReportsAreDropped) {
    start({"--cable"});
    for (const char* bad : {"report 0A 10", "report 0B 10 40 01 07", "report", "status 0x1234 5",
                            "status 0x1000 9", "status 0x8000 7", "report 0A 00 10 09 00 00"}) {
        mouse->command(bad);
    }
    mouse->command("status 0x4010 0x0501");
    // On the cable the level is shown beside "charging".
    ASSERT_TRUE(pumpUntil(
        [&] {
            return view.progress.contains("ms_1_progress_power") &&
                   view.progress["ms_1_progress_power"] == 50;
        },
        2000ms));
    EXPECT_TRUE(view.selected.empty());
    EXPECT_EQ(current().buttonMode, 0);
}

// Through a receiver whose answers come after 8 to 25 ms, now and then
// late, twice or never: after a series of edits of every kind the mouse
// holds exactly the stored profile.
TEST_F(MouseLinkOnRealLibraries, TheReceiverPacedByItsAnswersEndsHoldingTheProfile) {
    start({"--receiver", "--heartbeat-ms", "100", "--ack-delay-ms", "8-25", "--loss", "10",
           "--late", "5", "--duplicate", "20", "--seed", "3"});
    ASSERT_TRUE(pumpUntil([&] { return link.links().receiverLinkUp.load() == 1; }, 3000ms));
    const std::vector<std::function<void(Profile&)>> edits = {
        [](Profile& p) { writeAllSlots(p, [](ModeSettings& m) { m.dpiValue[1] = 90; }); },
        [](Profile& p) { p.buttonMode = 1; },
        [](Profile& p) { writeAllSlots(p, [](ModeSettings& m) { m.lightMode = 5; }); },
        [](Profile& p) {
            ButtonBinding b;
            b.function = 69;
            storeBinding(p, 4, b);
        },
        [](Profile& p) { writeAllSlots(p, [](ModeSettings& m) { m.dpiStage = 4; }); },
    };
    for (const auto& edit : edits) {
        const int before = link.applyRequests();
        session.edit(edit, AfterEdit::kApply);
        ASSERT_TRUE(pumpUntil(
            [&] {
                return link.applyRequests() > before &&
                       link.appliesFinished() == link.applyRequests();
            },
            60000ms));
    }
    EXPECT_FALSE(link.unwritten());
    EXPECT_EQ(heldConfig(*mouse), expectedConfig(current()));
}

TEST_F(MouseLinkOnRealLibraries, ApplyOverTheCableAndThePlugEvents) {
    start({"--cable"});
    session.edit([](Profile& p) { p.modes[0].lightMode = 3; }, AfterEdit::kApply);
    ASSERT_TRUE(pumpUntil([&] { return link.appliesFinished() == 1 && view.hidden("apply_ring"); },
                          6000ms));
    EXPECT_EQ(heldConfig(*mouse), expectedConfig(current()));
    EXPECT_TRUE(link.watchdogArmed());

    mouse->command("unplug cable");
    ASSERT_TRUE(pumpUntil([&] { return link.links().wiredState.load() == kDetached; }, 2000ms));
    EXPECT_TRUE(view.shown("ms_1_no_mouse_note"));
    mouse->command("plug cable");
    ASSERT_TRUE(pumpUntil([&] { return link.links().wiredState.load() == kAttached; }, 3000ms));
    EXPECT_EQ(view.text["ms_1_label_power"], "Charging");
}

TEST_F(MouseLinkOnRealLibraries, TheVirtualMouseVanishingMidwayIsSurvived) {
    start({"--cable"});
    link.requestApply();
    ASSERT_TRUE(pumpUntil([&] { return ringShown(); }, 2000ms));
    mouse->kill();
    ASSERT_TRUE(pumpUntil([&] { return view.hidden("apply_ring"); }, 6000ms));
    const auto start = SteadyClock::now();
    link.shutdown();
    EXPECT_LT(SteadyClock::now() - start, 2000ms);
}

TEST_F(MouseLinkOnRealLibraries, ShutdownDuringAnApplyToASilentReceiverTakesUnderASecond) {
    start({"--receiver", "--heartbeat-ms", "100", "--no-ack"});
    ASSERT_TRUE(pumpUntil([&] { return link.links().receiverLinkUp.load() == 1; }, 3000ms));
    link.requestApply();
    ASSERT_TRUE(pumpUntil([&] { return ringShown(); }, 2000ms));
    const auto begin = SteadyClock::now();
    session.shutdown();
    EXPECT_LT(SteadyClock::now() - begin, 1000ms);
    // The store is whole: it loads as it was written.
    ProfileStore again(location, texts);
    MacroStore macros(location, texts);
    const auto report = again.load(macros);
    EXPECT_TRUE(report.keptDamagedAs.empty());
    EXPECT_FALSE(report.createdFirstProfile);
}

TEST_F(MouseLinkOnRealLibraries, MissingOrIncompleteLibrariesLeaveTheLinkUnavailable) {
    TempFolder folder;
    std::filesystem::copy_file(TVQ_PARTIAL_DRIVER_PATH, folder / "hiddriver_2.so");
    start({"--cable", "--receiver"}, folder.path() + "/");
    EXPECT_FALSE(link.cableAvailable());
    EXPECT_FALSE(link.receiverAvailable());
    EXPECT_EQ(link.links().anyConnected.load(), 0);
    testing::RecordingObserver events;
    link.setObserver(&events);
    link.requestApply();  // nothing to send it over
    ASSERT_TRUE(pumpUntil([&] { return events.saw("apply finished 0/0"); }, 2000ms));
    EXPECT_FALSE(events.lastResult.ran);
    EXPECT_EQ(Json::parse(mouse->command("stats"))["accepted"], 0);
}

}  // namespace
}  // namespace tvq
