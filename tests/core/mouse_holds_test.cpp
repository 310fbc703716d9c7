// What the mouse holds is what the store says. Random sequences of edits,
// mode and profile switches, settings the mouse changes by itself (also in
// the middle of an apply), sleep and waking, links that go and come back,
// refused frames and lost, late and repeated acknowledgements run against a
// fake mouse that keeps the frames it took. After every step, once the link
// has settled, whenever the link says the selected profile is written and
// the mouse can be reached, the mouse holds exactly the frames of a whole
// apply of the selected profile.
//
// A failure names its seed and the shortest sequence of steps found that
// still fails. TVQ_MODEL_SEED=n runs one seed alone.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>

#include "device/device_ids.h"
#include "fake_device_library.h"
#include "fake_scheduler.h"
#include "protocol/frames.h"
#include "protocol/report_layout.h"
#include "protocol/send_path.h"
#include "protocol/status_codes.h"
#include "session/mouse_session.h"
#include "store_fixture.h"

namespace tvq {
namespace {

namespace r = report;
using testing::FakeCableLibrary;
using testing::FakeLibraryLoader;
using testing::FakeReceiverLibrary;

enum class Act {
    kEdit,                // a: which setting, b: its value; settle: the edit's settle time
    kModeSwitch,          // a: button mode 0 or 1
    kProfileSwitch,       // a: row
    kAddProfile,          // a new profile, selected
    kWriteAll,            // "Write all settings again"
    kMouseStage,          // the mouse switches DPI stage a by itself
    kMousePolling,        // ... its polling interval (a: 0..3)
    kMouseMode,           // ... its button mode (a: 0 or 1)
    kMouseStageMidApply,  // ... DPI stage a, while the apply of an edit sends its frames
    kSleep,
    kWake,
    kReceiverOut,
    kReceiverIn,
    kReceiverSilent,  // out of range: no heartbeat until the watchdog gives the link up
    kCableOut,
    kCableIn,
    kBleOut,
    kBleIn,
    kRefuse,       // the next a cable or Bluetooth LE writes are refused
    kLoseAnswers,  // the answers to the next a receiver writes are lost
    kCount,
};

struct Step {
    Act act;
    int a = 0;
    int b = 0;
    int settle = 0;
};

std::string describe(const Step& s) {
    static const char* const names[] = {
        "edit",
        "mode switch",
        "profile switch",
        "add profile",
        "write all",
        "mouse stage",
        "mouse polling",
        "mouse mode",
        "mouse stage mid-apply",
        "sleep",
        "wake",
        "receiver out",
        "receiver in",
        "receiver silent",
        "cable out",
        "cable in",
        "BLE out",
        "BLE in",
        "refuse",
        "lose answers",
    };
    std::ostringstream out;
    out << names[static_cast<int>(s.act)] << "(" << s.a << "," << s.b << "," << s.settle << ")";
    return out.str();
}

std::vector<Step> randomSteps(unsigned seed, int count) {
    std::mt19937 rng(seed);
    const auto pick = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        // Edits are the most common step, as they are for users.
        const int roll = pick(0, 2 * static_cast<int>(Act::kCount));
        const Act act = roll >= static_cast<int>(Act::kCount) ? Act::kEdit : static_cast<Act>(roll);
        steps.push_back({act, pick(0, 7), pick(0, 199), pick(0, 1) * 500});
    }
    return steps;
}

// The mouse: the frames it took, by the place it keeps them, and whether it
// sleeps. Frames come on the device worker; steps change it on the test's
// thread while no apply runs.
class FakeMouse {
  public:
    using Place = std::pair<std::uint8_t, std::uint8_t>;

    void take(std::span<const std::uint8_t> f) {
        std::lock_guard lock(mutex_);
        if (f[r::kId] == r::kMacro && f.size() == r::kChunkLength) {
            auto& data = chunks_[f[r::kSelector]];
            const std::size_t j = f[r::kChunkIndex];
            std::copy(f.begin() + r::kChunkData, f.end(),
                      data.begin() + static_cast<std::ptrdiff_t>(j * r::kChunkDataSize));
            if (j + 1 == r::kChunkCount) {
                Frame whole(r::kMacroLength, 0);
                whole[r::kId] = r::kMacro;
                whole[r::kLength] = static_cast<std::uint8_t>(r::kMacroLength);
                whole[r::kSelector] = f[r::kSelector];
                std::copy_n(data.begin(), r::kMacroLength - r::kBody, whole.begin() + r::kBody);
                held_[placeOf(whole)] = whole;
            }
            return;
        }
        held_[placeOf(f)] = Frame(f.begin(), f.end());
    }

    void switchStage(int stage) {
        std::lock_guard lock(mutex_);
        for (std::uint8_t slot : {1, 2}) {
            if (auto it = held_.find({r::kDpi, slot}); it != held_.end()) {
                Frame& f = it->second;
                f[r::kDpiStage] = static_cast<std::uint8_t>(stage + 1);  // stages count from 1
                const std::uint16_t sum = frameSum(f, r::kBody, r::kDpiSum);
                f[r::kDpiSum] = static_cast<std::uint8_t>(sum >> 8);
                f[r::kDpiSum + 1] = static_cast<std::uint8_t>(sum & 0xFF);
            }
        }
    }
    void switchPolling(int rate) {
        std::lock_guard lock(mutex_);
        for (std::uint8_t copy : {1, 2}) {
            if (auto it = held_.find({r::kPolling, copy}); it != held_.end()) {
                it->second[r::kComplementValue] = pollingInterval(rate);
                it->second[r::kComplementCheck] = static_cast<std::uint8_t>(~pollingInterval(rate));
            }
        }
    }
    void switchMode(int mode) {
        std::lock_guard lock(mutex_);
        if (auto it = held_.find({r::kProfileSelect, 0}); it != held_.end()) {
            it->second[r::kSelector] = static_cast<std::uint8_t>(mode + 1);
            it->second[r::kComplementValue] = static_cast<std::uint8_t>(~(mode + 1));
        }
    }

    // The first frame of a whole apply of `profile` that the mouse does not
    // hold, in words; empty when it holds them all. Polling frames only
    // with `polling`.
    std::string difference(const Profile& profile, bool polling) {
        std::lock_guard lock(mutex_);
        MacroSlotTable slots{};
        for (const Frame& f : applyFrames(profile, slots)) {
            if (!polling && f[r::kId] == r::kPolling) {
                continue;
            }
            const auto it = held_.find(placeOf(f));
            if (it == held_.end() || it->second != f) {
                std::ostringstream out;
                out << "frame " << std::hex << int{f[r::kId]} << " selector "
                    << int{f[r::kSelector]} << (it == held_.end() ? " never taken" : " differs");
                if (it != held_.end()) {
                    for (std::size_t i = 0; i < f.size(); ++i) {
                        if (f[i] != it->second[i]) {
                            out << " (byte " << std::dec << i << ": " << int{it->second[i]}
                                << " held, " << int{f[i]} << " written)";
                            break;
                        }
                    }
                }
                return out.str();
            }
        }
        return {};
    }

    std::atomic<bool> asleep{false};
    int refuse = 0;  // under the caller's care: worker only while applies run
    int loseAnswers = 0;

  private:
    static Place placeOf(std::span<const std::uint8_t> f) {
        return {f[r::kId], f[r::kId] == r::kProfileSelect ? std::uint8_t{0} : f[r::kSelector]};
    }

    std::mutex mutex_;
    std::map<Place, Frame> held_;
    std::map<std::uint8_t, std::array<std::uint8_t, r::kChunkCount * r::kChunkDataSize>> chunks_;
};

class MouseBle final : public BleTransport {
  public:
    explicit MouseBle(std::function<bool(std::span<const std::uint8_t>)> write)
        : write_(std::move(write)) {}
    bool writeFrame(std::string_view, std::string_view, std::span<const std::uint8_t> f) override {
        return write_(f);
    }
    void subscribe(std::string_view, std::string_view) override {}
    void unsubscribe() override {}

  private:
    std::function<bool(std::span<const std::uint8_t>)> write_;
};

// One run of a sequence of steps, from a fresh program and mouse.
class Run : public testing::StoreFixture {
  public:
    explicit Run(unsigned seed) : answers_(seed) {
        FakeLibraryLoader::reset();
        FakeCableLibrary::state().onFrame = [this](auto f) { return byCable(f); };
        FakeReceiverLibrary::state().onFrame = [this](auto f) { return byReceiver(f); };
        FakeReceiverLibrary::state().present = 1;
        session_.load();
        session_.link().start(loader_, "/opt/tvq/", &window_, false);
        receiverIn_ = true;
        heartbeat();
        session_.requestWholeApply();
    }
    ~Run() {
        session_.shutdown();
        FakeLibraryLoader::reset();
    }

    // Steps after which the mouse was compared with the store.
    int checked = 0;

    // Runs the steps; the first failure in words, or empty.
    std::string run(const std::vector<Step>& steps) {
        if (!settle()) {
            return "the start did not settle";
        }
        for (std::size_t i = 0; i < steps.size(); ++i) {
            act(steps[i]);
            if (!settle()) {
                return "step " + std::to_string(i) + " did not settle";
            }
            if (const std::string d = check(); !d.empty()) {
                return "after step " + std::to_string(i) + ": " + d;
            }
        }
        return {};
    }

  private:
    MouseLink& link() { return session_.link(); }
    LinkState& links() { return session_.link().links(); }

    void act(const Step& s) {
        switch (s.act) {
            case Act::kEdit:
                edit(s);
                break;
            case Act::kModeSwitch:
                session_.edit([&](Profile& p) { p.buttonMode = s.a % 2; }, AfterEdit::kApply);
                break;
            case Act::kProfileSwitch:
                if (session_.profiles().select(
                        s.a % static_cast<int>(session_.profiles().profiles().size()))) {
                    session_.requestApply();
                }
                break;
            case Act::kAddProfile: {
                const std::u16string name =
                    u"P" + std::u16string(1, char16_t(u'a' + added_++ % 26));
                auto p = newProfile(session_.profiles().uniqueName(name));
                writeAllSlots(*p, [&](ModeSettings& m) { m.lightMode = s.a; });
                const std::int32_t row = session_.profiles().append(std::move(p));
                session_.profiles().select(row);
                session_.requestApply();
                break;
            }
            case Act::kWriteAll:
                session_.requestWholeApply();
                break;
            case Act::kMouseStage:
            case Act::kMousePolling:
            case Act::kMouseMode:
                // A change the mouse makes out of reach is never told, and
                // no program can know of it: the mouse makes one only where
                // it can tell.
                if (canReport()) {
                    mouseChanges(s);
                }
                break;
            case Act::kMouseStageMidApply:
                stageMidApply_ = s.a;
                edit({Act::kEdit, 2, s.b, 0});
                break;
            case Act::kSleep:
                if (!links().wired()) {
                    mouse_.asleep = true;
                    heartbeat();
                    notify();
                }
                break;
            case Act::kWake:
                mouse_.asleep = false;
                heartbeat();
                notify();
                break;
            case Act::kReceiverOut:
                receiverIn_ = false;
                link().onDeviceMessage(msg::kReceiverAttach, 0, 0);
                break;
            case Act::kReceiverIn:
                receiverIn_ = true;
                link().onDeviceMessage(msg::kReceiverAttach, 1, 0);
                break;
            case Act::kReceiverSilent:
                silentSteps_ = s.a % 4 + 1;
                scheduler_.advance(kLinkWatchdogMs + 100);
                break;
            case Act::kCableOut:
                FakeCableLibrary::state().present = 0;
                link().onDeviceMessage(msg::kWiredAttach, 0, 0);
                break;
            case Act::kCableIn:
                FakeCableLibrary::state().present = 1;
                mouse_.asleep = false;  // the cable keeps it awake
                link().onDeviceMessage(msg::kWiredAttach, 1, 0);
                break;
            case Act::kBleOut:
                bleIn_ = false;
                link().onBleConnection(false);
                break;
            case Act::kBleIn:
                bleIn_ = true;
                mouse_.asleep = false;  // connecting wakes it
                link().onBleConnection(true);
                break;
            case Act::kRefuse:
                mouse_.refuse = s.a % 4 + 1;
                faultSinceWritten_ = true;
                break;
            case Act::kLoseAnswers:
                mouse_.loseAnswers = s.a % 4 + 1;
                faultSinceWritten_ = true;
                break;
            case Act::kCount:
                break;
        }
    }

    bool canReport() {
        const bool receiverUp = receiverIn_ && links().receiver() && silentSteps_ == 0;
        return !mouse_.asleep && (links().wired() || receiverUp || bleIn_);
    }
    void mouseChanges(const Step& s) {
        static constexpr std::uint16_t kIntervals[] = {8, 4, 2, 1};
        switch (s.act) {
            case Act::kMouseStage:
                mouse_.switchStage(s.a);
                report(status::kDpiStage, static_cast<std::uint16_t>(s.a + 1));
                break;
            case Act::kMousePolling:
                mouse_.switchPolling(s.a % 4);
                report(status::kPolling, kIntervals[s.a % 4]);
                break;
            default:
                mouse_.switchMode(s.a % 2);
                report(status::kButtonMode, static_cast<std::uint16_t>(s.a % 2));
                break;
        }
    }

    void edit(const Step& s) {
        const int v = s.b;
        std::function<void(Profile&)> change;
        switch (s.a) {
            case 0:
                change = [v](Profile& p) {
                    writeAllSlots(p, [v](ModeSettings& m) { m.dpiValue[v % 8] = v + 1; });
                };
                break;
            case 1:
                change = [v](Profile& p) {
                    writeAllSlots(p, [v](ModeSettings& m) { m.dpiStage = v % 8; });
                };
                break;
            case 2:
                change = [v](Profile& p) {
                    writeAllSlots(p, [v](ModeSettings& m) {
                        m.lightMode = v % 12;
                        m.brightness = v % 11;
                    });
                };
                break;
            case 3:
                change = [v](Profile& p) {
                    writeAllSlots(p, [v](ModeSettings& m) { m.pollingRate = v % 4; });
                };
                break;
            case 4:
                change = [v](Profile& p) {
                    writeAllSlots(p, [v](ModeSettings& m) { m.sleepTimer = v % 60 + 1; });
                };
                break;
            case 5:
            case 6: {
                static constexpr std::uint8_t kCodes[] = {0,  1,  2,  3,  4,  5,  9,   19, 21,
                                                          47, 48, 49, 51, 64, 69, 115, 88};
                change = [v](Profile& p) {
                    ButtonBinding b;
                    b.function = kCodes[v % std::size(kCodes)];
                    storeBinding(p, static_cast<std::size_t>(v % 17 + 1), b);
                };
                break;
            }
            default:
                change = [v](Profile& p) {
                    ButtonBinding b;
                    b.function = function::kMacro;
                    b.macroActionCount = 2;
                    b.macroActions[0] = {0x04, layout::macro::kPress,
                                         static_cast<std::uint16_t>(v)};
                    b.macroActions[1] = {0x04, layout::macro::kRelease, 10};
                    storeBinding(p, static_cast<std::size_t>(v % 8 + 2), b);
                };
                break;
        }
        session_.edit(change, AfterEdit::kApply, s.settle);
    }

    // A report of the mouse, through the link it reaches the program by.
    void report(std::uint16_t code, std::uint16_t value) {
        if (links().wired()) {
            link().onDeviceMessage(msg::kWiredData, code, value);
        } else if (receiverIn_ && links().receiver()) {
            link().onDeviceMessage(msg::kReceiverData, code, value);
        } else if (bleIn_) {
            const std::uint8_t v[] = {
                static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>(code >> 8),
                static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
            link().onBleNotification(v);
        }
    }
    void heartbeat() {
        if (receiverIn_ && links().receiver() && silentSteps_ == 0) {
            link().onDeviceMessage(msg::kReceiverData, status::kHeartbeat,
                                   mouse_.asleep ? 0x0800 : 0x0801);
        }
    }
    void notify() {
        if (bleIn_) {
            const std::uint8_t v[] = {0x10, 0x40, static_cast<std::uint8_t>(mouse_.asleep ? 0 : 1),
                                      8};
            link().onBleNotification(v);
        }
    }

    // On the worker: the frames as each link hands them to the mouse.
    std::int32_t byCable(std::span<const std::uint8_t> f) {
        if (mouse_.refuse > 0) {
            --mouse_.refuse;
            return 0;
        }
        taken(f, msg::kWiredData);
        return 1;
    }
    std::int32_t byReceiver(std::span<const std::uint8_t> f) {
        if (!receiverIn_ || mouse_.asleep || silentSteps_ > 0) {
            return 1;  // the receiver takes it; nobody answers
        }
        taken(f, msg::kReceiverData);
        if (mouse_.loseAnswers > 0) {
            --mouse_.loseAnswers;
            return 1;
        }
        // Answers as a 2.4 GHz link gives them: after 8 to 25 ms, now and
        // then repeated a few ms later or late beyond the repeat interval.
        const int roll = std::uniform_int_distribution<int>(0, 19)(answers_);
        const int latency = roll == 0 ? wait::kReceiverMs + 40
                                      : std::uniform_int_distribution<int>(8, 25)(answers_);
        answerAt(sendClock_.now + latency);
        if (roll == 1) {
            answerAt(sendClock_.now + latency + 3);
        }
        return 1;
    }
    bool byBle(std::span<const std::uint8_t> f) {
        if (!bleIn_ || mouse_.refuse > 0) {
            mouse_.refuse = std::max(0, mouse_.refuse - 1);
            return false;
        }
        taken(f, 0);
        return true;
    }
    void answerAt(std::int64_t time) {
        sendClock_.at(time, [this] { links().ackReceived.store(1); });
    }
    void taken(std::span<const std::uint8_t> f, std::uint32_t dataMessage) {
        mouse_.take(f);
        if (stageMidApply_ >= 0 && ++framesSinceMidApply_ == 2) {
            // The user presses the DPI button while the apply is under way.
            const int stage = std::exchange(stageMidApply_, -1);
            framesSinceMidApply_ = 0;
            mouse_.switchStage(stage);
            scheduler_.runOnUiThread([this, stage, dataMessage] {
                if (dataMessage != 0) {
                    link().onDeviceMessage(dataMessage, status::kDpiStage,
                                           static_cast<std::uint16_t>(stage + 1));
                } else {
                    report(status::kDpiStage, static_cast<std::uint16_t>(stage + 1));
                }
            });
        }
    }

    // Lets settle times, attach settles and applies run out; false when the
    // worker did not finish within seconds of real time.
    bool settle() {
        silentSteps_ = std::max(0, silentSteps_ - 1);
        for (int i = 0; i < 12; ++i) {
            if (i % 5 == 0) {
                heartbeat();  // more often than the watchdog's time
            }
            if (!workerIdle()) {
                return false;
            }
            scheduler_.advance(100);
        }
        if (stageMidApply_ >= 0) {
            stageMidApply_ = -1;  // the apply sent too few frames to be interrupted
            framesSinceMidApply_ = 0;
        }
        return workerIdle();
    }
    bool workerIdle() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            const bool drained = scheduler_.drainUiTasks() == 0;
            if (drained && link().appliesFinished() == link().applyRequests() &&
                scheduler_.drainUiTasks() == 0) {
                return true;
            }
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::this_thread::yield();
        }
    }

    std::string check() {
        const bool reachable = links().wired() ||
                               (links().receiver() && links().receiverLinkUp.load() != 0) ||
                               links().ble();
        if (!reachable || links().deviceAsleep.load() != 0) {
            return {};
        }
        if (link().unwritten()) {
            // The link knows, and says so; but with nothing lost on the way
            // it writes the profile as soon as the mouse can take it.
            return faultSinceWritten_ || silentSteps_ > 0
                       ? std::string()
                       : "the mouse can be reached, yet the profile waits to be written";
        }
        faultSinceWritten_ = mouse_.refuse > 0 || mouse_.loseAnswers > 0;
        ++checked;
        // Polling frames wait for the cable or the receiver, and the link
        // says so.
        const std::string d = mouse_.difference(*session_.profiles().current(), !link().deferred());
        return d.empty() ? d : "the link says the profile is written, but the mouse's " + d;
    }

    std::mt19937 answers_;
    FakeMouse mouse_;
    MouseBle ble_{[this](auto f) { return byBle(f); }};
    testing::FakeScheduler scheduler_;
    FakeLibraryLoader loader_;
    MessageWindow window_{};
    testing::FakeClock sendClock_;
    MouseSession session_{location, texts, scheduler_, &ble_, &sendClock_};
    bool receiverIn_ = false;
    bool bleIn_ = false;
    int added_ = 0;
    int silentSteps_ = 0;  // steps left out of the receiver's range
    bool faultSinceWritten_ =
        false;  // frames refused or answers lost since the profile was written
    int stageMidApply_ = -1;
    int framesSinceMidApply_ = 0;
};

std::string runSteps(unsigned seed, const std::vector<Step>& steps, int* checked = nullptr) {
    Run run(seed);
    std::string failure = run.run(steps);
    if (checked != nullptr) {
        *checked = run.checked;
    }
    return failure;
}

// The shortest sequence found by leaving steps out while it still fails.
std::vector<Step> shrink(unsigned seed, std::vector<Step> steps) {
    for (std::size_t i = steps.size(); i-- > 0;) {
        std::vector<Step> fewer = steps;
        fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(i));
        if (!runSteps(seed, fewer).empty()) {
            steps = std::move(fewer);
        }
    }
    return steps;
}

TEST(MouseHoldsTest, AfterAnySequenceTheMouseHoldsWhatTheLinkSaysItHolds) {
    constexpr int kSteps = 300;
    std::vector<unsigned> seeds;
    if (const char* one = std::getenv("TVQ_MODEL_SEED")) {
        seeds.push_back(static_cast<unsigned>(std::strtoul(one, nullptr, 10)));
    } else {
        for (unsigned s = 1; s <= 12; ++s) {
            seeds.push_back(s);
        }
    }
    for (const unsigned seed : seeds) {
        const std::vector<Step> steps = randomSteps(seed, kSteps);
        int checked = 0;
        const std::string failure = runSteps(seed, steps, &checked);
        if (failure.empty()) {
            // Most steps end with a mouse that can be compared.
            EXPECT_GT(checked, kSteps / 5) << "seed " << seed;
            continue;
        }
        const std::size_t failedAt = std::stoul(failure.substr(failure.find("step ") + 5));
        const std::vector<Step> shortest = shrink(
            seed, std::vector<Step>(steps.begin(),
                                    steps.begin() + static_cast<std::ptrdiff_t>(failedAt + 1)));
        std::string sequence;
        for (const Step& s : shortest) {
            sequence += "\n  " + describe(s);
        }
        ADD_FAILURE() << "seed " << seed << ": " << failure << "\nshortest sequence ("
                      << runSteps(seed, shortest) << "):" << sequence;
        return;
    }
}

}  // namespace
}  // namespace tvq
