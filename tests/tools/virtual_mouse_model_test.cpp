// The virtual mouse's checks: what it refuses is what a real mouse must not take.
#include <gtest/gtest.h>

#include "device_model.h"
#include "protocol/frames.h"

namespace tvq::virtualmouse {
namespace {

std::vector<Frame> defaultFrames() {
    MacroSlotTable slots{};
    auto p = newProfile(u"x");
    p->modes[0].buttons[4].function = function::kMacro;
    p->modes[0].buttons[4].macroActionCount = 1;
    p->modes[0].buttons[4].macroActions[0] = {0x04, 1, 2000};
    return applyFrames(*p, slots);
}

TEST(VirtualMouseModel, TakesEveryFrameOfAnApplyWholeOrInChunks) {
    DeviceModel whole, chunked;
    for (const Frame& f : defaultFrames()) {
        EXPECT_TRUE(whole.receive(f, false).accepted);
        if (f[0] == report::kMacro) {
            const auto chunks = macroChunks(f);
            EXPECT_TRUE(chunked.receive(chunks[0], true).partial);
            EXPECT_TRUE(chunked.receive(chunks[1], true).partial);
            EXPECT_TRUE(chunked.receive(chunks[2], true).accepted);
        } else {
            EXPECT_TRUE(chunked.receive(f, true).accepted);
        }
    }
    EXPECT_EQ(whole.json()["slots"], chunked.json()["slots"]);
    EXPECT_EQ(whole.json()["macros"], chunked.json()["macros"]);
    EXPECT_EQ(whole.json()["macros"]["1"]["entries"].size(), 2u);
    EXPECT_EQ(whole.refused(), 0);
}

TEST(VirtualMouseModel, RefusesDamagedFrames) {
    const auto frames = defaultFrames();
    DeviceModel m;
    Frame badSum = frames[1];
    badSum[10] ^= 1;
    EXPECT_EQ(m.receive(badSum, false).reason, "sum does not match");
    Frame badComplement = frames[3];
    badComplement[4] ^= 0xFF;
    EXPECT_FALSE(m.receive(badComplement, false).accepted);
    Frame shortFrame = frames[2];
    shortFrame.pop_back();
    EXPECT_EQ(m.receive(shortFrame, false).reason, "wrong length");
    EXPECT_FALSE(m.receive(Frame{0x33, 3, 1}, false).accepted);
    EXPECT_FALSE(m.receive(Frame{}, false).accepted);
    Frame badSlot = frames[1];
    badSlot[2] = 3;
    EXPECT_FALSE(m.receive(badSlot, false).accepted);

    const auto chunks = macroChunks(frames[9]);
    EXPECT_FALSE(m.receive(chunks[1], true).accepted);  // out of order
    EXPECT_TRUE(m.receive(chunks[0], true).partial);
    auto damaged = chunks[1];
    damaged[20] ^= 1;
    m.receive(damaged, true);
    EXPECT_EQ(m.receive(chunks[2], true).reason, "sum does not match");
    EXPECT_EQ(m.accepted(), 0);
}

TEST(VirtualMouseModel, PaddedFramesAreRead) {
    Frame padded = defaultFrames()[2];
    padded.resize(64, 0);
    DeviceModel m;
    EXPECT_TRUE(m.receive(padded, false).accepted);
}

}  // namespace
}  // namespace tvq::virtualmouse
