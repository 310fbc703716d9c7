// Sending only what the mouse does not hold: which frames an apply leaves
// out. That the mouse ends up holding the profile is the model test's.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "fake_links.h"
#include "profiles/profile.h"
#include "protocol/apply.h"
#include "protocol/report_layout.h"
#include "protocol/send_path.h"
#include "store_fixture.h"

namespace tvq {
namespace {

namespace r = report;

class HeldFramesTest : public ::testing::Test {
  protected:
    HeldFramesTest() {
        links.wiredState.store(kAttached);
        links.deviceAsleep.store(0);
    }
    // The report ids written by one apply, one per write (a cable macro
    // frame is three chunks).
    std::vector<int> apply(bool whole = false) {
        for (testing::FakeLink* l : {&cable, &receiver, &ble}) {
            l->writes.clear();
        }
        EXPECT_TRUE(applier.apply(whole));
        std::vector<int> ids;
        for (testing::FakeLink* l : {&cable, &receiver, &ble}) {
            for (const auto& w : l->writes) {
                ids.push_back(w[r::kId]);
            }
        }
        return ids;
    }
    void everySlot(const std::function<void(ModeSettings&)>& change) {
        for (ModeSettings& m : profile->modes) {
            change(m);
        }
    }
    void bindMacro(std::size_t button) {
        everySlot([button](ModeSettings& m) {
            ButtonBinding& b = m.buttons[button];
            b.function = function::kMacro;
            b.macroActionCount = 2;
            b.macroActions[0] = {0x04, layout::macro::kPress, 10};
            b.macroActions[1] = {0x04, layout::macro::kRelease, 10};
        });
    }

    LinkState links;
    testing::FakeClock clock;
    testing::FakeLink cable, receiver, ble;
    SendPath path{links, clock, &cable, &receiver, &ble};
    std::unique_ptr<Profile> profile = newProfile(u"A");
    ProfileApplier applier{path, links, [this] { return std::make_unique<Profile>(*profile); }, {}};
};

const std::vector<int> kWhole = {0x0C, 0x04, 0x05, 0x06, 0x06, 0x04,
                                 0x05, 0x06, 0x06, 0x08, 0x08, 0x0C};

TEST_F(HeldFramesTest, AfterAWholeApplyOnlyChangedFramesGoBetweenTheSelectFrames) {
    EXPECT_EQ(apply(), kWhole);  // a new connection: everything
    everySlot([](ModeSettings& m) { m.dpiValue[0] += 10; });
    EXPECT_EQ(apply(), (std::vector<int>{0x0C, 0x04, 0x04, 0x0C}));
    EXPECT_TRUE(apply().empty());  // the same again: nothing at all
    everySlot([](ModeSettings& m) { m.lightMode = 3; });
    EXPECT_EQ(apply(), (std::vector<int>{0x0C, 0x05, 0x05, 0x0C}));
    // A macro: its frame (three chunks on the cable) and both button frames.
    bindMacro(4);
    EXPECT_EQ(apply(), (std::vector<int>{0x0C, 0x09, 0x09, 0x09, 0x08, 0x08, 0x0C}));
    EXPECT_TRUE(apply().empty());
    // A button-mode switch: the two profile-select frames alone.
    profile->buttonMode = 1;
    EXPECT_EQ(apply(), (std::vector<int>{0x0C, 0x0C}));
    EXPECT_TRUE(apply().empty());
    // The mouse switched DPI stage itself: its DPI frames go again, though
    // the profile's bytes are those sent last.
    applier.changedByMouse(r::kDpi);
    EXPECT_EQ(apply(), (std::vector<int>{0x0C, 0x04, 0x04, 0x0C}));
    // "Write all settings again" sends everything.
    EXPECT_EQ(apply(true).size(), kWhole.size() + 3);
}

TEST_F(HeldFramesTest, OverBluetoothLePollingFramesWaitForALinkThatCarriesThem) {
    links.wiredState.store(kDetached);
    links.bleConnected.store(1);
    EXPECT_EQ(apply(), (std::vector<int>{0x0C, 0x04, 0x05, 0x04, 0x05, 0x08, 0x08, 0x0C}));
    EXPECT_EQ(applier.deferred(), 4u);
    EXPECT_TRUE(apply().empty());
    links.wiredState.store(kAttached);  // the same connection: only the polling frames
    EXPECT_EQ(apply(), (std::vector<int>{0x0C, 0x06, 0x06, 0x06, 0x06, 0x0C}));
    EXPECT_EQ(applier.deferred(), 0u);
}

}  // namespace
}  // namespace tvq
