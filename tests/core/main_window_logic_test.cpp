// The main window's rules: tray clicks and menu, the mouse coming and going,
// closing and minimising, the DPI display; on a recording window.
#include "program/main_window_logic.h"

#include <gtest/gtest.h>

#include <map>

#include <functional>
#include <string>
#include <vector>

#include "memory_file_system.h"
#include "program/autostart.h"
#include "program/desktop_entries.h"
#include "program/focus_source.h"

namespace tvq {
namespace {

class FakeWindow final : public MainWindowView {
  public:
    std::vector<std::string> log;
    bool visible = true;
    bool minimized = false;
    std::string dpiText;
    int dpiHideAfter = 0;
    bool dpiShown = false;

    void showWindow() override { visible = true, log.push_back("show"); }
    void hideWindow() override { visible = false, log.push_back("hide"); }
    void restoreWindow() override { minimized = false, log.push_back("restore"); }
    void bringToFront() override { log.push_back("activate"); }
    bool windowShown() const override { return visible; }
    bool windowMinimized() const override { return minimized; }
    void openTrayMenu() override { log.push_back("menu"); }
    void showDpiDisplay(const std::string& text, int hideAfterMs) override {
        dpiText = text, dpiHideAfter = hideAfterMs, dpiShown = true;
    }
    void closeDpiDisplay() override { dpiShown = false; }
    void quit() override { log.push_back("quit"); }
    void toggleStartWithDesktop() override { log.push_back("autostart"); }
    void openBatteryAlerts() override { log.push_back("battery"); }
    void showAbout() override { log.push_back("about"); }
};

class MainWindowTest : public ::testing::Test {
  protected:
    FakeWindow window;
    MainWindowLogic logic{window};
};

TEST_F(MainWindowTest, TrayMenuNamesIgnoreLetterCase) {
    window.visible = false;
    logic.trayMenuPicked("CONFIGURATION");
    EXPECT_TRUE(window.visible);
    logic.trayMenuPicked("AutoStart");
    EXPECT_EQ(window.log.back(), "autostart");
    logic.trayMenuPicked("ms_1_left_click");  // no tray item: nothing
    EXPECT_EQ(window.log.back(), "autostart");
    logic.trayMenuPicked("Battery");
    EXPECT_EQ(window.log.back(), "battery");
    logic.trayMenuPicked("about");
    EXPECT_EQ(window.log.back(), "about");
    logic.trayMenuPicked("Exit");
    EXPECT_EQ(window.log.back(), "quit");
}

TEST_F(MainWindowTest, TrayClicksShowTheWindowWithAndWithoutAMouse) {
    window.visible = false;
    logic.trayClicked(TrayClick::kPrimary);
    EXPECT_TRUE(window.visible);  // the profiles can be edited without the mouse

    window.log.clear();
    window.minimized = true;
    logic.trayClicked(TrayClick::kPrimary);
    EXPECT_EQ(window.log, (std::vector<std::string>{"restore", "activate"}));  // already visible
    logic.trayClicked(TrayClick::kContext);
    EXPECT_EQ(window.log.back(), "menu");
    window.log.clear();
    logic.showRequested();
    EXPECT_EQ(window.log, (std::vector<std::string>{"show", "activate"}));
}

TEST_F(MainWindowTest, ClosedTheWindowGoesAwayAndTheProgramGoesOn) {
    logic.closeRequested();
    EXPECT_FALSE(window.visible);
    EXPECT_TRUE(window.log.empty() || window.log.back() != "quit");
}

TEST_F(MainWindowTest, DpiDisplayTextAndTime) {
    logic.dpiStageShown(40);
    EXPECT_EQ(window.dpiText, "DPI: 1600");
    EXPECT_EQ(window.dpiHideAfter, 2000);
    logic.dpiStageShown(200);
    EXPECT_EQ(window.dpiText, "DPI: 8000");
    logic.exitRequested();
    EXPECT_FALSE(window.dpiShown);
}

}  // namespace
}  // namespace tvq

namespace tvq {
namespace {

TEST(Autostart, TheEntryGoesToTheConfigFolderAndComesBack) {
    testing::MemoryFileSystem fs;
    const auto env = [](std::optional<std::string> config) -> Environment {
        return [config](std::string_view name) -> std::optional<std::string> {
            if (name == "XDG_CONFIG_HOME") {
                return config;
            }
            return name == "HOME" ? std::optional<std::string>("/home/u") : std::nullopt;
        };
    };
    EXPECT_EQ(autostartPath(env(std::nullopt)),
              "/home/u/.config/autostart/io.github.tvq_config.TvqConfig.desktop");
    EXPECT_EQ(autostartPath(env("relative")),
              "/home/u/.config/autostart/io.github.tvq_config.TvqConfig.desktop");
    const Environment xdg = env("/cfg");
    EXPECT_FALSE(autostartEnabled(fs, xdg));
    ASSERT_TRUE(setAutostart(fs, xdg, true, "/opt/my \"tvq\" $x/tvq-config"));
    EXPECT_TRUE(autostartEnabled(fs, xdg));
    const auto& bytes = fs.files.at("/cfg/autostart/io.github.tvq_config.TvqConfig.desktop");
    const std::string text(bytes.begin(), bytes.end());
    // Started with the desktop, the program waits in the tray.
    EXPECT_NE(text.find("Exec=\"/opt/my \\\\\"tvq\\\\\" \\\\$x/tvq-config\" --hidden\n"),
              std::string::npos)
        << text;
    EXPECT_TRUE(autostartHidden(fs, xdg));
    // Or with its window, when the user asks for that.
    ASSERT_TRUE(setAutostart(fs, xdg, true, "/opt/tvq/tvq-config", false));
    EXPECT_FALSE(autostartHidden(fs, xdg));
    ASSERT_TRUE(setAutostart(fs, xdg, false, ""));
    EXPECT_FALSE(autostartEnabled(fs, xdg));
    fs.failFolderCreation = true;
    EXPECT_FALSE(setAutostart(fs, env("/other"), true, "/p"));
}

}  // namespace
}  // namespace tvq

namespace tvq {
namespace {

TEST(FocusSourceTest, TheSessionNamesTheWayTheFocusIsFollowed) {
    using Vars = std::map<std::string, std::string, std::less<>>;
    const auto source = [](Vars vars) {
        return chooseFocusSource([vars](std::string_view name) -> std::optional<std::string> {
            const auto it = vars.find(name);
            return it != vars.end() ? std::optional(it->second) : std::nullopt;
        });
    };
    EXPECT_EQ(source({{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}), FocusSource::kX11);
    EXPECT_EQ(source({{"DISPLAY", ":0"}}), FocusSource::kX11);
    EXPECT_EQ(
        source(
            {{"XDG_SESSION_TYPE", "wayland"}, {"XDG_CURRENT_DESKTOP", "KDE"}, {"DISPLAY", ":0"}}),
        FocusSource::kKWin);
    EXPECT_EQ(source({{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}),
              FocusSource::kGnomeShell);
    EXPECT_EQ(
        source(
            {{"XDG_SESSION_TYPE", "wayland"}, {"XDG_CURRENT_DESKTOP", "sway"}, {"DISPLAY", ":0"}}),
        FocusSource::kXWaylandOnly);
    EXPECT_EQ(source({{"XDG_SESSION_TYPE", "wayland"}, {"XDG_CURRENT_DESKTOP", "GNOME-Classic"}}),
              FocusSource::kNone);
    EXPECT_EQ(source({}), FocusSource::kNone);
    EXPECT_STREQ(focusSourceTextKey(FocusSource::kNone), "apps_focus_none_text");
}

}  // namespace
}  // namespace tvq

namespace tvq {
namespace {

TEST(DesktopEntriesTest, ApplicationsAreReadFromTheirEntriesAndFolders) {
    EXPECT_EQ(parseDesktopEntry("org.gimp.GIMP.desktop",
                                "# comment\n[Desktop Entry]\r\nType = Application\nName=GNU Image "
                                "Manipulation Program\nName[de]=GIMP\nIcon=gimp\n"
                                "[Desktop Action new]\nName=New window\n"),
              (DesktopApp{"org.gimp.GIMP", "GNU Image Manipulation Program", "gimp"}));
    for (const auto& [file, text] :
         {std::pair{"a.desktop", "[Desktop Entry]\nType=Link\nName=A"},
          std::pair{"b.desktop", "[Desktop Entry]\nType=Application\nName=B\nNoDisplay=true"},
          std::pair{"c.desktop", "[Desktop Entry]\nType=Application\n"},
          std::pair{"d.txt", "[Desktop Entry]\nType=Application\nName=D"},
          std::pair{".desktop", "[Desktop Entry]\nType=Application\nName=E"},
          std::pair{"f.desktop", "[Other]\nType=Application\nName=F"}}) {
        EXPECT_EQ(parseDesktopEntry(file, text), std::nullopt) << file;
    }
    const auto env = [](std::optional<std::string> dirs) {
        return Environment([dirs](std::string_view name) -> std::optional<std::string> {
            if (name == "HOME") {
                return "/home/u";
            }
            return name == "XDG_DATA_DIRS" ? dirs : std::nullopt;
        });
    };
    EXPECT_EQ(
        applicationFolders(env(std::nullopt)),
        (std::vector<std::string>{"/home/u/.local/share/applications",
                                  "/usr/local/share/applications", "/usr/share/applications"}));
    EXPECT_EQ(
        applicationFolders(env("/opt/share::relative:/var/lib/flatpak/exports/share")),
        (std::vector<std::string>{"/home/u/.local/share/applications", "/opt/share/applications",
                                  "/var/lib/flatpak/exports/share/applications"}));
}

}  // namespace
}  // namespace tvq
