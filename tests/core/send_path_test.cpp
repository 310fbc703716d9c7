#include "protocol/send_path.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "fake_links.h"
#include "protocol/apply.h"
#include "protocol/device_worker.h"
#include "protocol/frames.h"

namespace tvq {
namespace {

using testing::FakeClock;
using testing::FakeLink;

class SendPathTest : public ::testing::Test {
  protected:
    LinkState links;
    FakeClock clock;
    FakeLink cable, receiver, ble;
    SendPath path{links, clock, &cable, &receiver, &ble};

    const Frame lighting = lightingFrame(newProfile(u"x")->modes[0], 0);
    const Frame polling = pollingFrame(newProfile(u"x")->modes[0], 1);

    void receiverUp() {
        links.receiverState = kAttached;
        links.receiverLinkUp = 1;
    }
    // The mouse behind the receiver answers each write after `latencies`
    // in turn (a negative one: the answer is lost), and also at the extra
    // times set in `extraAnswers` (absolute, in ms).
    void answerAfter(std::vector<int> latencies) {
        receiver.answer = [this, latencies, n = std::size_t{0}](auto) mutable {
            const int latency = n < latencies.size() ? latencies[n] : -1;
            ++n;
            if (latency >= 0) {
                answerAt(clock.now + latency);
            }
            return 1;
        };
    }
    void answerAt(std::int64_t time) {
        clock.at(time, [this] { links.ackReceived = 1; });
    }
    SendOutcome send(const Frame& frame) {
        SendOutcome outcome{};
        path.sendReport(frame, &outcome);
        return outcome;
    }
};

TEST_F(SendPathTest, NoLinkWritesNothing) {
    SendOutcome outcome{};
    EXPECT_EQ(path.sendReport(lighting, &outcome), 0);
    EXPECT_EQ(outcome, SendOutcome::kNoLink);
    EXPECT_TRUE(clock.sleeps.empty());
    links.receiverState = kAttached;  // receiver without a heartbeat yet
    EXPECT_EQ(path.sendReport(lighting, &outcome), 0);
    EXPECT_EQ(receiver.count(), 0u);
}

TEST_F(SendPathTest, CableWritesOnceAndWaitsOnlyAfterAcceptance) {
    links.wiredState = kAttached;
    receiverUp();  // the cable takes precedence
    SendOutcome outcome{};
    EXPECT_EQ(path.sendReport(lighting, &outcome), 1);
    EXPECT_EQ(outcome, SendOutcome::kAccepted);
    EXPECT_EQ(cable.writes, std::vector<Frame>{lighting});
    EXPECT_EQ(clock.sleeps, std::vector<int>{200});

    cable.answer = [](auto) { return 0; };
    EXPECT_EQ(path.sendReport(lighting, &outcome), 0);
    EXPECT_EQ(outcome, SendOutcome::kRefused);
    EXPECT_EQ(cable.count(), 2u);  // no retry
    EXPECT_EQ(clock.sleeps.size(), 1u);
    EXPECT_EQ(receiver.count(), 0u);
}

TEST_F(SendPathTest, CableCutsMacroFramesIntoThreeChunks) {
    links.wiredState = kAttached;
    const Frame macro = macroFrame(ButtonBinding{}, 2);
    EXPECT_EQ(path.sendReport(macro), 1);
    ASSERT_EQ(cable.count(), 3u);
    for (std::size_t j = 0; j < 3; ++j) {
        EXPECT_EQ(cable.writes[j].size(), 64u);
        EXPECT_EQ(cable.writes[j][3], j);
        EXPECT_EQ(cable.writes[j][2], 2);
    }
    EXPECT_EQ(clock.sleeps, (std::vector<int>{200, 200, 200}));
}

TEST_F(SendPathTest, ARefusedLastChunkSendsTheWholeFrameThroughTheReceiver) {
    links.wiredState = kAttached;
    receiverUp();
    cable.answer = [](std::span<const std::uint8_t> chunk) { return chunk[3] == 2 ? 0 : 1; };
    answerAfter({10});
    const Frame macro = macroFrame(ButtonBinding{}, 1);
    SendOutcome outcome{};
    path.sendReport(macro, &outcome);
    EXPECT_EQ(outcome, SendOutcome::kAcknowledged);
    EXPECT_EQ(cable.count(), 3u);
    EXPECT_EQ(receiver.writes, std::vector<Frame>{macro});  // 131 bytes, not cut

    links.receiverState = kDetached;  // no other link: the refusal stands
    path.sendReport(macro, &outcome);
    EXPECT_EQ(outcome, SendOutcome::kRefused);
}

TEST_F(SendPathTest, AReceiverWriteMovesOnOnceAcknowledgedAfterTheSettleTime) {
    receiverUp();
    links.ackReceived = 1;  // a stale acknowledgement is cleared first
    answerAfter({20, 9});
    EXPECT_EQ(send(lighting), SendOutcome::kAcknowledged);
    EXPECT_EQ(receiver.count(), 1u);
    EXPECT_EQ(clock.now, 20 + wait::kReceiverSettleMs);
    EXPECT_EQ(send(polling), SendOutcome::kAcknowledged);
    EXPECT_EQ(clock.now, 2 * wait::kReceiverSettleMs + 29);
    EXPECT_FALSE(path.receiverAtFixedPace());
}

TEST_F(SendPathTest, RepeatedAndEarlyAnswersAreNotCountedForTheNextFrame) {
    receiverUp();
    // The first frame is answered after 10 ms and again 4 ms later, within
    // the settle time; the second frame's own answer is lost, and an answer
    // 1 ms after its write (sooner than the mouse can answer) is an old one.
    answerAfter({10});
    answerAt(14);
    answerAt(10 + wait::kReceiverSettleMs + 1);
    EXPECT_EQ(send(lighting), SendOutcome::kAcknowledged);
    EXPECT_EQ(send(polling), SendOutcome::kUnacknowledged);
    EXPECT_EQ(receiver.count(), 1u + wait::kReceiverWrites);
}

TEST_F(SendPathTest, ARewrittenFrameSendsTheRestOfTheConnectionAtTheFixedPace) {
    receiverUp();
    // The first write's answer is lost; the second's comes after 15 ms.
    // The late answer to the second write of the first frame lands 1 ms
    // after the next frame's write and does not count for it.
    answerAfter({-1, 15, -1});
    answerAt(2 * wait::kReceiverMs + 1);
    EXPECT_EQ(send(lighting), SendOutcome::kAcknowledged);
    EXPECT_EQ(receiver.count(), 2u);
    EXPECT_EQ(clock.now, 2 * wait::kReceiverMs);  // the rewrite waits its whole interval
    EXPECT_TRUE(path.receiverAtFixedPace());
    EXPECT_EQ(send(polling), SendOutcome::kUnacknowledged);
    EXPECT_EQ(receiver.count(), 2u + wait::kReceiverWrites);

    // A frame answered at once still waits the whole interval, until the
    // connection changes.
    answerAfter({5, 5});
    const std::int64_t before = clock.now;
    send(lighting);
    EXPECT_EQ(clock.now - before, wait::kReceiverMs);
    links.mouseMayHoldOther();
    EXPECT_FALSE(path.receiverAtFixedPace());
    send(lighting);
    EXPECT_EQ(clock.now - before, wait::kReceiverMs + 5 + wait::kReceiverSettleMs);
}

TEST_F(SendPathTest, UnacknowledgedReceiverFrameIsWrittenTenTimes) {
    receiverUp();
    receiver.answer = [](auto) { return 0; };  // the library's result plays no part
    SendOutcome outcome{};
    EXPECT_EQ(path.sendReport(lighting, &outcome), 0);
    EXPECT_EQ(outcome, SendOutcome::kUnacknowledged);
    EXPECT_EQ(receiver.count(), 10u);
    EXPECT_EQ(clock.now, 7000);
}

TEST_F(SendPathTest, ARefusingAcknowledgementKeepsTheWritesGoing) {
    receiverUp();
    int sleeps = 0;
    clock.onSleep = [&](int) { links.ackReceived = ++sleeps == 4 ? 1 : 0; };
    path.sendReport(lighting);
    EXPECT_EQ(receiver.count(), 4u);
}

TEST_F(SendPathTest, AReceiverPulledOutEndsTheRepetition) {
    receiverUp();
    clock.onSleep = [&](int) { links.receiverState = kDetached; };
    SendOutcome outcome{};
    path.sendReport(lighting, &outcome);
    EXPECT_EQ(receiver.count(), 1u);
    EXPECT_EQ(outcome, SendOutcome::kUnacknowledged);
}

TEST_F(SendPathTest, BleSkipsPollingFramesAndWritesTheRestWhole) {
    links.bleConnected = 1;
    SendOutcome outcome{};
    EXPECT_EQ(path.sendReport(polling, &outcome), 0);
    EXPECT_EQ(outcome, SendOutcome::kSkipped);
    EXPECT_EQ(ble.count(), 0u);
    const Frame macro = macroFrame(ButtonBinding{}, 1);
    path.sendReport(macro, &outcome);
    EXPECT_EQ(outcome, SendOutcome::kAccepted);
    EXPECT_EQ(ble.writes, std::vector<Frame>{macro});
    EXPECT_EQ(clock.sleeps, std::vector<int>{500});
    ble.answer = [](auto) { return 0; };
    path.sendReport(lighting, &outcome);
    EXPECT_EQ(outcome, SendOutcome::kRefused);
    EXPECT_EQ(clock.sleeps.size(), 1u);
}

TEST_F(SendPathTest, ApplySendsTwelveFramesPlusMacrosAndSkipsWhileAsleep) {
    links.wiredState = kAttached;
    auto profile = newProfile(u"A");
    ButtonBinding m;
    m.function = function::kMacro;
    storeBinding(*profile, 2, m);
    std::vector<SendOutcome> outcomes;
    int started = 0, finished = 0;
    ProfileApplier applier(
        path, links, [&] { return std::make_unique<Profile>(*profile); },
        ApplyHooks{
            [&] { ++started; },
            [&](std::size_t, std::size_t, const Frame&, SendOutcome o) { outcomes.push_back(o); },
            [&] { ++finished; }});
    links.deviceAsleep = 1;
    EXPECT_FALSE(applier.apply());
    EXPECT_EQ(cable.count(), 0u);
    EXPECT_EQ(started, 0);

    links.deviceAsleep = 0;
    EXPECT_TRUE(applier.apply());
    EXPECT_EQ(outcomes.size(), 13u);
    EXPECT_EQ(cable.count(), 15u);  // the macro frame goes as three chunks
    EXPECT_EQ(started, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(applier.macroSlots()[0][2], 1);
}

TEST_F(SendPathTest, AnApplyStopsBetweenFramesWhenTheWaitsAreEndedForGood) {
    links.wiredState = kAttached;
    links.deviceAsleep = 0;
    auto profile = newProfile(u"A");
    ProfileApplier applier(path, links, [&] { return std::make_unique<Profile>(*profile); }, {});
    cable.answer = [&](auto) {
        clock.stopped = cable.writes.size() == 3;  // the program ends after the third frame
        return 1;
    };
    EXPECT_TRUE(applier.apply());
    EXPECT_EQ(cable.count(), 3u);  // never a frame without its wait
    EXPECT_TRUE(applier.interrupted());
}

TEST_F(SendPathTest, OverBleTheApplySendsEightFrames) {
    links.bleConnected = 1;
    links.deviceAsleep = 0;
    auto profile = newProfile(u"A");
    ProfileApplier applier(path, links, [&] { return std::make_unique<Profile>(*profile); }, {});
    applier.apply();
    EXPECT_EQ(ble.count(), 8u);
    for (const Frame& f : ble.writes) {
        EXPECT_NE(f[0], report::kPolling);
    }
}

TEST(DeviceWorker, RunsEveryApplyRequestAndNothingElse) {
    std::atomic<int> applies{0};
    DeviceWorker worker([&] { ++applies; });
    worker.start();
    worker.post(0x9999);  // not an apply request
    for (int i = 0; i < 3; ++i) {
        worker.post(msg::kApply);
    }
    while (applies.load() < 3) {
        std::this_thread::yield();
    }
    worker.stop();
    EXPECT_EQ(applies.load(), 3);
    worker.post(msg::kApply);  // ignored after stop
    EXPECT_FALSE(worker.running());
    EXPECT_EQ(applies.load(), 3);
}

TEST(DeviceWorker, ThreeRequestsMakeThreeCompleteApplies) {
    std::atomic<int> applies{0};
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    DeviceWorker worker([&] {
        if (inside.fetch_add(1) != 0) {
            overlapped = true;
        }
        inside.fetch_sub(1);
        ++applies;
    });
    worker.start();
    for (int i = 0; i < 3; ++i) {
        worker.post(msg::kApply);
    }
    while (applies.load() < 3) {
        std::this_thread::yield();
    }
    worker.stop();
    EXPECT_EQ(applies.load(), 3);
    EXPECT_FALSE(overlapped.load());
}

}  // namespace
}  // namespace tvq
