// Profiles switched from outside the window, with the real program behind
// the virtual mouse on a private session bus: every method and property of
// its D-Bus interface with their errors, the application in focus on a
// private X server, and the KWin script and GNOME Shell extension run by a
// JavaScript engine against stand-ins for KWin and GNOME Shell.
#include "base/data_folder.h"
#include "mouse_config.h"
#include "page/profile_check.h"
#include "profiles/profile_store.h"
#include "session_bus_program.h"
#include "xvfb.h"

// After the test headers: Xlib's macros (None, Bool) would change them.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tvq {
namespace {

using testing::waitFor;

class ProfilesOnTheBusTest : public testing::SessionBusProgram {
  protected:
    // A store of three profiles, the first selected, told apart by their
    // polling rate.
    void writeStore() {
        std::vector<std::unique_ptr<Profile>> profiles;
        int rate = 0;
        for (const char16_t* name : {u"Work", u"Games", u"Drawing"}) {
            profiles.push_back(newProfile(name));
            writeAllSlots(*profiles.back(), [rate](ModeSettings& m) { m.pollingRate = rate; });
            ++rate;
        }
        const std::string folder = dir + "/data/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1";
        std::filesystem::create_directories(folder);
        const auto bytes = encodeProfileStore(0, profiles);
        std::ofstream(folder + "/pro.data", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        for (auto& p : profiles) {
            expected.push_back(testing::expectedConfig(*p));
        }
    }
    bool profileIs(const std::string& name) const {
        return property("CurrentProfile") == "(<'" + name + "'>,)\n";
    }
    // `gdbus` with what it says on standard error.
    std::string callWithError(const std::string& method, const std::string& arguments) const {
        return testing::output(
            "(gdbus call --session --dest io.github.tvq_config.TvqConfig "
            "--object-path /io/github/tvq_config/TvqConfig --method " +
            method + " -- " + arguments + " 2>&1)");
    }
    std::string storeBytes() const {
        std::ifstream in(dir + "/data/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1/pro.data",
                         std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<testing::MouseJson> expected;
};

TEST_F(ProfilesOnTheBusTest, EveryMethodAndPropertyWithTheirErrors) {
    writeStore();
    testing::VirtualMouseProcess mouse({"--cable"});
    startProgram(mouse);
    ASSERT_TRUE(waitFor([this] { return profileIs("Work"); })) << programErrors();
    // What the program announces on the bus from now on.
    helpers.push_back(testing::spawn(
        {"gdbus", "monitor", "--session", "--dest", "io.github.tvq_config.TvqConfig"},
        dir + "/monitor.err", {}, dir + "/monitor.out"));
    EXPECT_EQ(call("io.github.tvq_config.Profiles1.ListProfiles"),
              "(['Work', 'Games', 'Drawing'],)\n");
    // The object describes itself as the packaged interface file does.
    const std::string described = testing::output(
        "gdbus introspect --session --dest io.github.tvq_config.TvqConfig "
        "--object-path /io/github/tvq_config/TvqConfig");
    for (const char* member :
         {"interface io.github.tvq_config.Profiles1", "ListProfiles(out as names)",
          "SelectProfile(in  s name)", "ActiveApplicationChanged(in  s app_id)",
          "SetApplicationRule(in  s app_id,", "ApplicationRules(out a{ss} rules)",
          "ApplyProfile(in  ay profile,", "readonly s CurrentProfile",
          "readwrite b AutomaticSwitching", "readonly s Connection", "readonly i Battery",
          "readonly b Charging", "interface org.freedesktop.DBus.Properties"}) {
        EXPECT_NE(described.find(member), std::string::npos) << member << "\n" << described;
    }
    EXPECT_EQ(property("AutomaticSwitching"), "(<true>,)\n");

    call("io.github.tvq_config.Profiles1.SelectProfile", "GAMES");
    EXPECT_TRUE(waitFor([this] { return profileIs("Games"); }));
    EXPECT_TRUE(waitFor([&] { return testing::heldConfig(mouse) == expected[1]; }));

    call("io.github.tvq_config.Profiles1.SetApplicationRule", "org.gimp.GIMP Drawing");
    EXPECT_EQ(call("io.github.tvq_config.Profiles1.ApplicationRules"),
              "({'org.gimp.GIMP': 'Drawing'},)\n");
    call("io.github.tvq_config.Profiles1.ActiveApplicationChanged", "org.GIMP.gimp");
    EXPECT_TRUE(waitFor([this] { return profileIs("Drawing"); }));
    EXPECT_TRUE(waitFor([&] { return testing::heldConfig(mouse) == expected[2]; }));
    call("io.github.tvq_config.Profiles1.ActiveApplicationChanged", "xterm");
    EXPECT_TRUE(waitFor([this] { return profileIs("Games"); }));  // chosen by hand
    std::string settings;
    ASSERT_TRUE(waitFor([&] {
        std::ifstream in(dir + "/config/tvq-config/settings.json");
        std::stringstream s;
        s << in.rdbuf();
        settings = s.str();
        return settings.find("org.gimp.GIMP") != std::string::npos;
    })) << settings;

    // Bad input: an error, and neither the store nor the selection changes.
    ASSERT_TRUE(waitFor([&] { return testing::heldConfig(mouse) == expected[1]; }));
    const std::string store = storeBytes();
    EXPECT_NE(callWithError("io.github.tvq_config.Profiles1.SelectProfile", "Nobody")
                  .find("io.github.tvq_config.Error.NoSuchProfile"),
              std::string::npos);
    EXPECT_NE(callWithError("io.github.tvq_config.Profiles1.SetApplicationRule", "gimp Nobody")
                  .find("io.github.tvq_config.Error.NoSuchProfile"),
              std::string::npos);
    for (const std::string& id : {std::string("''"), std::string(100 * 1024, 'a')}) {
        EXPECT_NE(callWithError("io.github.tvq_config.Profiles1.ActiveApplicationChanged", id)
                      .find("org.freedesktop.DBus.Error.InvalidArgs"),
                  std::string::npos);
        EXPECT_NE(callWithError("io.github.tvq_config.Profiles1.SetApplicationRule", id + " Work")
                      .find("org.freedesktop.DBus.Error.InvalidArgs"),
                  std::string::npos);
    }
    EXPECT_NE(
        callWithError("io.github.tvq_config.Profiles1.SelectProfile", std::string(100 * 1024, 'w'))
            .find("NoSuchProfile"),
        std::string::npos);
    EXPECT_TRUE(profileIs("Games"));
    EXPECT_EQ(storeBytes(), store);

    // Only a boolean switches: a text the bus library could read as one is refused.
    EXPECT_NE(callWithError("org.freedesktop.DBus.Properties.Set",
                            "io.github.tvq_config.Profiles1 AutomaticSwitching \"<'false'>\"")
                  .find("InvalidArgs"),
              std::string::npos);
    EXPECT_EQ(property("AutomaticSwitching"), "(<true>,)\n");
    // Switched off on the bus: the focus no longer chooses.
    call("org.freedesktop.DBus.Properties.Set",
         "io.github.tvq_config.Profiles1 AutomaticSwitching '<false>'");
    EXPECT_EQ(property("AutomaticSwitching"), "(<false>,)\n");
    call("io.github.tvq_config.Profiles1.ActiveApplicationChanged", "org.gimp.GIMP");
    call("io.github.tvq_config.Profiles1.SetApplicationRule", "xterm Work");  // a round trip
    EXPECT_TRUE(profileIs("Games"));

    // Every change was announced.
    std::string monitor;
    ASSERT_TRUE(waitFor([&] {
        monitor = testing::output("cat '" + dir + "/monitor.out'");
        return monitor.find("'AutomaticSwitching': <false>") != std::string::npos;
    }));
    for (const char* seen : {"'CurrentProfile': <'Games'>", "'CurrentProfile': <'Drawing'>"}) {
        EXPECT_NE(monitor.find(seen), std::string::npos) << seen << "\n" << monitor;
    }
    // tvqctl goes through the running program.
    const std::string tvqctl = std::string(TVQCTL_PATH) + " profile ";
    EXPECT_EQ(testing::output(tvqctl + "next"), "Drawing\n");
    EXPECT_TRUE(waitFor([this] { return profileIs("Drawing"); }));
    EXPECT_EQ(testing::output(tvqctl + "list"), "  Work\n  Games\n* Drawing\n");
    EXPECT_EQ(testing::output(tvqctl + "previous"), "Games\n");
    EXPECT_EQ(testing::output("(" + tvqctl + "select nobody 2>&1)"),
              "tvqctl profile select: nobody: no profile has this name\n");
    EXPECT_TRUE(waitFor([this] { return profileIs("Games"); }));

    // tvqctl apply goes through the program as well, with the checks of an
    // import: the file's profile reaches the mouse with its left click back,
    // and the program knows what the mouse then holds.
    auto file = newProfile(u"From a file");
    writeAllSlots(*file, [](ModeSettings& m) {
        m.lightMode = 5;
        m.buttons[0].function = 2;  // no button left on the left click
    });
    const std::string path = dir + "/file.pro";
    const auto bytes = encodeProfile(*file);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const std::string applied =
        testing::output("(" + std::string(TVQCTL_PATH) + " apply '" + path + "' 2>&1; echo $?)");
    EXPECT_NE(applied.find("put back to their defaults"), std::string::npos) << applied;
    EXPECT_NE(applied.find("profile written through the running program"), std::string::npos)
        << applied;
    EXPECT_EQ(applied.substr(applied.size() - 2), "1\n") << applied;  // something was changed
    repairImportedProfile(*file);
    EXPECT_TRUE(
        waitFor([&] { return testing::heldConfig(mouse) == testing::expectedConfig(*file); }));
    EXPECT_TRUE(profileIs("Games"));
    // The next profile the program writes is whole on the mouse.
    call("io.github.tvq_config.Profiles1.SelectProfile", "Work");
    EXPECT_TRUE(waitFor([&] { return testing::heldConfig(mouse) == expected[0]; }));
    EXPECT_NE(callWithError("io.github.tvq_config.Profiles1.ApplyProfile", "'[byte 1, 2, 3]'")
                  .find("io.github.tvq_config.Error.NotAProfile"),
              std::string::npos);
}

TEST_F(ProfilesOnTheBusTest, TheKWinScriptAndTheGnomeShellExtensionReportTheFocus) {
    writeStore();
    std::filesystem::create_directories(dir + "/config/tvq-config");
    std::ofstream(dir + "/config/tvq-config/settings.json")
        << R"({"applications": {"automatic": true, "rules": [
               {"app": "org.gimp.GIMP", "profile": "Drawing"},
               {"app": "firefox", "profile": "Games"}]}})";
    testing::VirtualMouseProcess mouse({"--cable"});
    // A session whose focus the program cannot follow by itself: only the
    // scripts tell it.
    startProgram(mouse, {"QT_QPA_PLATFORM=offscreen", "XDG_SESSION_TYPE=tty", "DISPLAY="});
    ASSERT_TRUE(waitFor([this] { return profileIs("Work"); })) << programErrors();
    const std::string source = TVQ_SOURCE_DIR;
    const std::string kwin = source + "/res/kwin/focus.js";
    const std::string gnome =
        source + "/packaging/gnome-shell/tvq-config@tvq_config.github.io/extension.js";
    int round = 0;
    for (const auto& [mode, script] :
         {std::pair{"kwin6", kwin}, std::pair{"kwin5", kwin}, std::pair{"gnome", gnome}}) {
        ++round;
        const std::string said =
            testing::output("gjs " + source + "/tests/desktop/focus_script_host.js " + mode + " " +
                            script + " org.gimp.GIMP firefox 2>&1");
        if (std::string(mode) != "gnome") {
            EXPECT_EQ(said,
                      "called ActiveApplicationChanged org.gimp.GIMP\n"
                      "called ActiveApplicationChanged firefox\n")
                << mode;
        }
        // The first report settled on its profile, the second on its own.
        EXPECT_TRUE(waitFor([&] {
            const std::string log = programErrors();
            std::size_t n = 0;
            for (std::size_t at = log.find("focus on \"org.gimp.GIMP\": profile 3");
                 at != std::string::npos; at = log.find("focus on \"org.gimp.GIMP\"", at + 1)) {
                ++n;
            }
            return n == static_cast<std::size_t>(round);
        })) << mode
            << "\n"
            << said << programErrors();
        EXPECT_TRUE(waitFor([this] { return profileIs("Games"); })) << mode;
    }
}

// X windows of given classes on the test's X server, and the root window's
// _NET_ACTIVE_WINDOW set as a window manager sets it.
class XWindows {
  public:
    XWindows() : display_(XOpenDisplay(nullptr)) {}
    ~XWindows() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    bool open() const { return display_ != nullptr; }
    Window create(const char* instance, const char* windowClass) {
        const Window w =
            XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 10, 10, 0, 0, 0);
        XClassHint hint{const_cast<char*>(instance), const_cast<char*>(windowClass)};
        XSetClassHint(display_, w, &hint);
        XFlush(display_);
        return w;
    }
    void activate(Window w) {
        const Atom active = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
        XChangeProperty(display_, DefaultRootWindow(display_), active, XA_WINDOW, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(&w), 1);
        XFlush(display_);
    }

  private:
    Display* display_;
};

TEST_F(ProfilesOnTheBusTest, OnX11TheActiveWindowsClassChoosesTheProfile) {
    testing::Xvfb x;
    ASSERT_TRUE(x.running());
    writeStore();
    std::filesystem::create_directories(dir + "/config/tvq-config");
    std::ofstream(dir + "/config/tvq-config/settings.json")
        << R"({"applications": {"automatic": true, "rules": [
               {"app": "gimp", "profile": "Drawing"}, {"app": "firefox", "profile": "Games"}]}})";
    XWindows windows;
    ASSERT_TRUE(windows.open());
    const Window gimp = windows.create("gimp-2.10", "Gimp");
    const Window firefox = windows.create("Navigator", "firefox");
    const Window terminal = windows.create("xterm", "XTerm");

    testing::VirtualMouseProcess mouse({"--cable"});
    startProgram(mouse, {"DISPLAY=" + x.display(), "XDG_SESSION_TYPE=x11"});
    ASSERT_TRUE(waitFor([this] { return profileIs("Work"); })) << programErrors();
    windows.activate(gimp);
    EXPECT_TRUE(waitFor([this] { return profileIs("Drawing"); })) << programErrors();
    EXPECT_TRUE(waitFor([&] { return testing::heldConfig(mouse) == expected[2]; }));
    windows.activate(firefox);
    EXPECT_TRUE(waitFor([this] { return profileIs("Games"); }));
    EXPECT_TRUE(waitFor([&] { return testing::heldConfig(mouse) == expected[1]; }));
    windows.activate(terminal);  // no rule: back to the profile chosen by hand
    EXPECT_TRUE(waitFor([this] { return profileIs("Work"); }));
    EXPECT_TRUE(waitFor([&] { return testing::heldConfig(mouse) == expected[0]; }));

    // A switch while the apply of the one before still runs: the newest
    // profile follows it, whole.
    const auto switches = [this] {
        const std::string log = programErrors();
        std::size_t n = 0;
        for (std::size_t at = log.find("focus on"); at != std::string::npos;
             at = log.find("focus on", at + 1)) {
            ++n;
        }
        return n;
    };
    const std::size_t before = switches();
    windows.activate(gimp);
    ASSERT_TRUE(waitFor([&] { return switches() == before + 1; }));
    windows.activate(firefox);
    EXPECT_TRUE(waitFor([this] { return profileIs("Games"); }));
    EXPECT_TRUE(waitFor([&] { return testing::heldConfig(mouse) == expected[1]; }));
}

}  // namespace
}  // namespace tvq
