// The real program behind the receiver of tvq-virtual-mouse, on a private
// session bus with a stand-in notification service (python3-dbusmock): the
// battery falls, sleeps, charges; the Notify calls seen are exactly the
// expected ones, and the program's properties on the bus follow the mouse.
#include <regex>

#include "session_bus_program.h"

namespace tvq {
namespace {

using testing::waitFor;

struct Notify {
    std::string app;
    unsigned replaces = 0;
    std::string icon;
    std::string summary;
    int urgency = -1;
};

class BatteryNotificationTest : public testing::SessionBusProgram {
  protected:
    // The Notify calls the stand-in service has logged so far.
    std::vector<Notify> notifications() const {
        std::ifstream in(dir + "/notify.log");
        static const std::regex call(
            R"re(Notify "([^"]*)" (\d+) "([^"]*)" "([^"]*)" ".*" \[\] \{(.*)\} -?\d+)re");
        static const std::regex urgency(R"re("urgency": (\d+))re");
        std::vector<Notify> seen;
        for (std::string line; std::getline(in, line);) {
            std::smatch m, u;
            if (std::regex_search(line, m, call)) {
                const std::string hints = m[5];
                Notify n{m[1], static_cast<unsigned>(std::stoul(m[2])), m[3], m[4]};
                if (std::regex_search(hints, u, urgency)) {
                    n.urgency = std::stoi(u[1]);
                }
                seen.push_back(n);
            }
        }
        return seen;
    }
    bool batteryIs(int percent) const {
        return property("Battery") == "(<" + std::to_string(percent) + ">,)\n";
    }
};

TEST_F(BatteryNotificationTest, OneNotificationPerCrossingReplacingTheLastWithItsUrgency) {
    helpers.push_back(testing::spawn({"/usr/bin/python3", "-m", "dbusmock", "--template",
                                      "notification_daemon", "-l", dir + "/notify.log"},
                                     dir + "/notifier.err"));
    ASSERT_TRUE(waitFor([this] { return ownerOf("org.freedesktop.Notifications"); }))
        << "python3-dbusmock did not start";

    testing::VirtualMouseProcess mouse({"--receiver", "--heartbeat-ms", "100", "--battery", "6"});
    startProgram(mouse);
    ASSERT_TRUE(waitFor([&] { return batteryIs(60); })) << property("Battery");
    EXPECT_EQ(property("Connection"), "(<'receiver'>,)\n");
    EXPECT_EQ(property("Charging"), "(<false>,)\n");

    // Down through the low level while asleep, with an unknown level between.
    mouse.command("battery 3");
    ASSERT_TRUE(waitFor([&] { return batteryIs(30); }));
    mouse.command("sleep");
    mouse.command("battery 2");
    ASSERT_TRUE(waitFor([&] { return batteryIs(20); }));
    EXPECT_TRUE(notifications().empty());  // asleep: not looked at
    mouse.command("wake");
    ASSERT_TRUE(waitFor([&] { return notifications().size() == 1; }));
    mouse.command("battery 0");
    mouse.command("battery 3");  // wandering up without charging: no new crossing
    ASSERT_TRUE(waitFor([&] { return batteryIs(30); }));
    mouse.command("battery 2");
    ASSERT_TRUE(waitFor([&] { return batteryIs(20); }));
    mouse.command("battery 1");
    ASSERT_TRUE(waitFor([&] { return notifications().size() == 2; }));
    // On the cable it charges to full.
    mouse.command("plug cable");
    ASSERT_TRUE(waitFor([&] { return property("Charging") == "(<true>,)\n"; }));
    EXPECT_EQ(property("Connection"), "(<'cable'>,)\n");
    mouse.command("battery 10");
    ASSERT_TRUE(waitFor([&] { return notifications().size() == 3; }));
    mouse.command("battery 9");
    mouse.command("battery 10");
    ASSERT_TRUE(waitFor([&] { return batteryIs(100); }));

    const std::vector<Notify> seen = notifications();
    ASSERT_EQ(seen.size(), 3u);
    for (const Notify& n : seen) {
        EXPECT_EQ(n.app, "TERVANA TVQ-R270 WIRELESS MOUSE");
        EXPECT_EQ(n.icon, "io.github.tvq_config.TvqConfig");
    }
    EXPECT_EQ(seen[0].summary, "Mouse battery low");
    EXPECT_EQ(seen[0].urgency, 1);
    EXPECT_EQ(seen[0].replaces, 0u);
    EXPECT_EQ(seen[1].summary, "Mouse battery almost empty");
    EXPECT_EQ(seen[1].urgency, 2);
    EXPECT_EQ(seen[1].replaces, 1u);  // the id the service gave the first
    EXPECT_EQ(seen[2].summary, "Mouse fully charged");
    EXPECT_EQ(seen[2].urgency, 0);
    EXPECT_EQ(seen[2].replaces, 1u);
}

TEST_F(BatteryNotificationTest, WithoutANotificationServiceNothingBlocks) {
    testing::VirtualMouseProcess mouse({"--receiver", "--heartbeat-ms", "100", "--battery", "1"});
    startProgram(mouse);
    ASSERT_TRUE(waitFor([&] { return batteryIs(10); }));
    ASSERT_TRUE(waitFor([&] {
        return programErrors().find("notification not shown") != std::string::npos;
    })) << programErrors();
    mouse.command("battery 3");
    EXPECT_TRUE(waitFor([&] { return batteryIs(30); }));  // it goes on answering
}

}  // namespace
}  // namespace tvq
