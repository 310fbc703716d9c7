// From a focus change to the end of the apply it causes: tvq-config under a
// private X server with application rules, tvq-virtual-mouse on the cable
// and then behind the receiver, two X windows made active in turn through
// _NET_ACTIVE_WINDOW. Each switch is timed until the mouse holds the new
// profile, against the settle time plus the protocol's floor for the frames
// it sent (each frame and its wait: 200 ms by cable; through the receiver
// the mouse's answer and the settle time, about 37 ms). The apply's end is
// one wait after the last frame arrived.
//   build/bin/focus_switch
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "mouse_config.h"
#include "page/profile_follower.h"
#include "processes.h"
#include "profiles/profile_store.h"
#include "xvfb.h"

namespace {

using namespace tvq;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
constexpr int kSwitches = 6;

struct Windows {
    Display* display = XOpenDisplay(nullptr);
    Window make(const char* windowClass) {
        const Window w =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
        XClassHint hint{const_cast<char*>(windowClass), const_cast<char*>(windowClass)};
        XSetClassHint(display, w, &hint);
        return w;
    }
    void activate(Window w) {
        const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        XChangeProperty(display, DefaultRootWindow(display), active, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&w), 1);
        XFlush(display);
    }
};

int accepted(const testing::VirtualMouseProcess& mouse) {
    return nlohmann::json::parse(mouse.command("stats")).value("accepted", 0);
}

void measure(const char* link, std::vector<std::string> options, int frameMs) {
    const auto [dir, store] = testing::freshProgramFolder("tvq-focus-bench");
    std::vector<std::unique_ptr<Profile>> profiles;
    for (const char16_t* name : {u"Editor", u"Game"}) {
        profiles.push_back(newProfile(name));
    }
    writeAllSlots(*profiles[1], [](ModeSettings& m) { m.pollingRate = 3; });
    const auto bytes = encodeProfileStore(0, profiles);
    std::ofstream(store + "/pro.data", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    std::filesystem::create_directories(dir + "/config/tvq-config");
    std::ofstream(dir + "/config/tvq-config/settings.json")
        << R"({"applications": {"rules": [{"app": "editor", "profile": "Editor"},
                                         {"app": "game", "profile": "Game"}]}})";

    testing::VirtualMouseProcess mouse(options);
    const pid_t program =
        testing::spawn({TVQ_CONFIG_PATH}, dir + "/program.err",
                       {"XDG_SESSION_TYPE=x11", "TVQ_VIRTUAL_MOUSE=" + mouse.socketPath(),
                        "XDG_DATA_HOME=" + dir + "/data", "XDG_CONFIG_HOME=" + dir + "/config",
                        "HOME=" + dir, "XDG_RUNTIME_DIR=" + dir + "/run"});
    Windows windows;
    const Window editor = windows.make("editor");
    const Window game = windows.make("game");
    const testing::MouseJson held[] = {testing::expectedConfig(*profiles[0]),
                                       testing::expectedConfig(*profiles[1])};
    // The program is up once the first switch has reached the mouse.
    windows.activate(game);
    if (!testing::waitFor([&] { return testing::heldConfig(mouse) == held[1]; }, 30s)) {
        std::printf("%s: the program did not switch\n", link);
        testing::stop(program);
        return;
    }
    long worst = 0;
    long total = 0;
    long floorMs = 0;
    for (int i = 0; i < kSwitches; ++i) {
        const int to = i % 2;
        const int before = accepted(mouse);
        const auto start = Clock::now();
        windows.activate(to == 0 ? editor : game);
        testing::waitFor([&] { return testing::heldConfig(mouse) == held[to]; }, 30s);
        // The apply ends one frame's wait after its last frame arrived: the
        // last arrival is the last change of the count before it stays put.
        auto last = Clock::now();
        int count = accepted(mouse);
        while (Clock::now() - last < std::chrono::milliseconds(3 * frameMs)) {
            std::this_thread::sleep_for(5ms);
            if (const int now = accepted(mouse); now != count) {
                count = now;
                last = Clock::now();
            }
        }
        const long ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(last - start).count() + frameMs;
        floorMs = ProfileFollower::kSettleMs + (count - before) * frameMs;
        worst = std::max(worst, ms);
        total += ms;
    }
    std::printf(
        "%s: focus change to the end of its apply: mean %ld ms, worst %ld ms; floor %ld ms "
        "(settle %d ms + frames sent × %d ms), ratio %.2f\n",
        link, total / kSwitches, worst, floorMs, ProfileFollower::kSettleMs, frameMs,
        static_cast<double>(total) / kSwitches / static_cast<double>(floorMs));
    testing::stop(program);
    XCloseDisplay(windows.display);
    std::filesystem::remove_all(dir);
}

}  // namespace

int main() {
    testing::Xvfb x;
    if (!x.running()) {
        std::printf("no X server for the benchmark\n");
        return 1;
    }
    measure("cable", {"--cable"}, 200);
    // Through the receiver each frame costs the mouse's answer (8 to 25 ms,
    // 16.5 on average) and the 20 ms settle time.
    measure("receiver", {"--receiver", "--heartbeat-ms", "100", "--ack-delay-ms", "8-25"}, 37);
    return 0;
}
