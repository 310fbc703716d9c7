// A tray host (StatusNotifierWatcher) that owns its name on the session bus
// and never answers: the program starts in the tray's place as fast as
// without it, goes without a tray icon and stays responsive.
#include "session_bus_program.h"
#include "xvfb.h"

namespace tvq {
namespace {

using namespace std::chrono_literals;
using testing::waitFor;

class SilentTrayHostTest : public testing::SessionBusProgram {};

TEST_F(SilentTrayHostTest, StartingHiddenCostsNothingAndTheWindowIsMinimisedInstead) {
    // dbus-python without a main loop owns the name and answers nothing.
    helpers.push_back(
        testing::spawn({"/usr/bin/python3", "-c",
                        "import dbus, time\n"
                        "dbus.SessionBus().request_name('org.kde.StatusNotifierWatcher')\n"
                        "time.sleep(3600)\n"},
                       dir + "/watcher.err"));
    ASSERT_TRUE(waitFor([this] { return ownerOf("org.kde.StatusNotifierWatcher"); }))
        << "the stand-in tray host did not start";
    testing::Xvfb x;
    ASSERT_TRUE(x.running());
    testing::VirtualMouseProcess mouse({"--receiver"});
    const auto began = std::chrono::steady_clock::now();
    startProgram(mouse, {"DISPLAY=" + x.display(), "QT_QPA_PLATFORM=xcb"}, {"--hidden"});
    const auto said = [this](const char* line) {
        return waitFor([&] { return programErrors().find(line) != std::string::npos; }, 10s);
    };
    // Without the check, the toolkit's own blocking calls to the host take
    // 25 s before either line.
    EXPECT_TRUE(said("the tray host does not answer")) << programErrors();
    EXPECT_TRUE(said("the window starts minimised")) << programErrors();
    EXPECT_LT(std::chrono::steady_clock::now() - began, 8s);
    // Still answering: its bus interface replies.
    EXPECT_EQ(property("Connection").rfind("(<'", 0), 0u) << property("Connection");
}

}  // namespace
}  // namespace tvq
