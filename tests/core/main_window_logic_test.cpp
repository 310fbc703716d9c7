// The main window's message table, timers and clicks, on a recording window.
#include "app/main_window_logic.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>

#include <vector>

#include "app/window_messages.h"
#include "base/autostart.h"
#include "device/device_ids.h"
#include "memory_file_system.h"

namespace tvq {
namespace {

class FakeWindow final : public MainWindowView {
  public:
    std::vector<std::string> log;
    bool visible = true;
    bool minimized = false;
    bool tray = true;
    int noDeviceMessages = 0;
    std::function<void()> whileNoDeviceMessageOpen;
    std::string dpiText;
    bool dpiShown = false;
    std::map<int, int> timers;
    std::vector<std::uint32_t> posted;
    int tab = 99;

    void showWindow() override { visible = true, log.push_back("show"); }
    void hideWindow() override { visible = false, log.push_back("hide"); }
    void minimizeWindow() override { minimized = true, log.push_back("minimize"); }
    void restoreWindow() override { minimized = false, log.push_back("restore"); }
    void bringToFront() override { log.push_back("activate"); }
    bool windowShown() const override { return visible; }
    bool windowMinimized() const override { return minimized; }
    bool hasSystemTray() const override { return tray; }
    void selectDeviceTab(int item) override { tab = item; }
    void runNoDeviceMessage() override {
        ++noDeviceMessages;
        if (whileNoDeviceMessageOpen) {
            whileNoDeviceMessageOpen();
        }
    }
    void openTrayMenu() override { log.push_back("menu"); }
    void showDpiDisplay(const std::string& text) override { dpiText = text, dpiShown = true; }
    void closeDpiDisplay() override { dpiShown = false; }
    void startWindowTimer(int id, int ms) override { timers[id] = ms; }
    void stopWindowTimer(int id) override { timers.erase(id); }
    void post(std::uint32_t message, std::uintptr_t, std::intptr_t) override {
        posted.push_back(message);
    }
    void quit() override { log.push_back("quit"); }
};

// The page and the mouse in one recording fake.
class FakePage final : public MainWindowPage, public MainWindowMouse {
  public:
    std::vector<std::string> calls;
    std::int32_t connected = 0;
    std::int32_t anyConnected() const override { return connected; }
    void requestApply() override { calls.push_back("apply"); }
    void assignFunction(const std::string& name) override { calls.push_back("assign " + name); }
};

class MainWindowTest : public ::testing::Test {
  protected:
    void connect(std::int32_t on) {
        page.connected = on;
        logic.handleMessage(msg::kConnectionChanged, 0, 0);
    }
    FakeWindow window;
    FakePage page;
    MainWindowLogic logic{window, &page, &page};
};

TEST_F(MainWindowTest, ApplyRequestsGoToTheWorkerAndOtherMessagesAreDropped) {
    EXPECT_TRUE(logic.handleMessage(msg::kApplyRequest, 0, 0));
    EXPECT_EQ(page.calls, std::vector<std::string>{"apply"});
    for (std::uint32_t dropped : {1130u, 1261u, 5121u, 537u}) {
        EXPECT_TRUE(logic.handleMessage(dropped, 1, 2)) << dropped;
    }
    EXPECT_FALSE(logic.handleMessage(1234, 0, 0));
    // The libraries' messages go to their own object, not to the window.
    for (std::uint32_t library : {1034u, 1325u, 1326u, 1327u, 1328u}) {
        EXPECT_FALSE(logic.handleMessage(library, 0, 0)) << library;
    }
    EXPECT_EQ(page.calls.size(), 1u);
    EXPECT_TRUE(window.log.empty());
}

TEST_F(MainWindowTest, MenuNamesFollowTheirLetterCaseRules) {
    connect(1);
    const auto pick = [&](const std::string& name) {
        const MenuCommand c{name, "", ""};
        logic.handleMessage(msg::kMenuClick, 1, 0, &c);
    };
    pick("ms_1_left_click");
    pick("MS_1_left_click");  // letter case counts here
    pick("");
    pick("ms");
    pick("mx_1");
    EXPECT_EQ(page.calls,
              (std::vector<std::string>{"assign ms_1_left_click", "assign ", "assign ms"}));
    window.visible = false;
    pick("CONFIGURATION");
    EXPECT_TRUE(window.visible);
    pick("Exit");
    EXPECT_EQ(window.log.back(), "quit");
    EXPECT_TRUE(logic.handleMessage(msg::kMenuClick, 0, 0, nullptr));  // no record: nothing
}

TEST_F(MainWindowTest, TrayClicksWithAndWithoutAMouse) {
    window.visible = false;
    logic.handleMessage(msg::kTrayNotify, 1, kTrayLeftButtonUp);
    EXPECT_EQ(window.noDeviceMessages, 1);
    EXPECT_FALSE(window.visible);

    // A second request while the message is open does nothing.
    window.whileNoDeviceMessageOpen = [&] {
        EXPECT_TRUE(logic.noDeviceMessageOpen());
        logic.handleMessage(msg::kTrayNotify, 1, kTrayLeftButtonUp);
        logic.handleMessage(msg::kShowMainWindow, 0, 0);
    };
    logic.handleMessage(msg::kTrayNotify, 1, kTrayLeftButtonUp);
    EXPECT_EQ(window.noDeviceMessages, 2);
    EXPECT_FALSE(logic.noDeviceMessageOpen());

    connect(1);
    window.log.clear();
    window.visible = true;
    window.minimized = true;
    logic.handleMessage(msg::kTrayNotify, 1, kTrayLeftButtonUp);
    EXPECT_EQ(window.log, (std::vector<std::string>{"restore", "activate"}));  // already visible
    logic.handleMessage(msg::kTrayNotify, 1, kTrayRightButtonUp);
    logic.handleMessage(msg::kTrayNotify, 1, 512);  // mouse move: nothing
    EXPECT_EQ(window.log.back(), "menu");
    window.log.clear();
    logic.handleMessage(msg::kShowMainWindow, 0, 0);
    EXPECT_EQ(window.log, (std::vector<std::string>{"show", "activate"}));
}

TEST_F(MainWindowTest, PresenceChangeSwitchesTheTabAndPutsTheWindowAway) {
    connect(1);
    EXPECT_EQ(window.tab, 0);
    EXPECT_TRUE(logic.devicePresent());
    connect(0);
    EXPECT_EQ(window.tab, -1);
    EXPECT_FALSE(window.visible);

    // Without a tray the window is minimised, never hidden.
    window.tray = false;
    window.visible = true;
    connect(0);
    EXPECT_TRUE(window.visible);
    EXPECT_TRUE(window.minimized);
    window.minimized = false;
    logic.onClick("exit_btn");
    EXPECT_TRUE(window.visible);
    EXPECT_TRUE(window.minimized);
    window.tray = true;
    logic.onClick("exit_btn");
    EXPECT_FALSE(window.visible);
    logic.onClick("skin_btn");
}

TEST_F(MainWindowTest, DpiDisplayTextAndTimer) {
    logic.handleMessage(msg::kDpiStageReported, 0, 40);
    EXPECT_EQ(window.dpiText, "DPI :1600");
    EXPECT_EQ(window.timers.at(timer::kDpiDisplay), 2000);
    logic.handleMessage(msg::kDpiStageReported, 0, 200);
    EXPECT_EQ(window.dpiText, "DPI :8000");
    logic.onTimer(timer::kDpiDisplay);
    EXPECT_FALSE(window.dpiShown);
    EXPECT_FALSE(window.timers.contains(timer::kDpiDisplay));
    EXPECT_EQ(MainWindowLogic::dpiText(3, 40), "DPI :");
    EXPECT_EQ(MainWindowLogic::dpiText(2, -1), "DPI :-40");
}

TEST_F(MainWindowTest, TheDebounceTimerPostsAnApplyRequest) {
    logic.onTimer(timer::kApplyDebounce);
    EXPECT_EQ(window.posted, std::vector<std::uint32_t>{msg::kApplyRequest});
}

TEST(MainWindowWithoutPage, RunsAndNeverShowsTheWindowForADevice) {
    FakeWindow window;
    MainWindowLogic logic(window, nullptr, nullptr);
    logic.handleMessage(msg::kWiredData, 1, 2);
    logic.handleMessage(msg::kApplyRequest, 0, 0);
    logic.handleMessage(msg::kConnectionChanged, 0, 0);
    EXPECT_FALSE(window.visible);
    logic.handleMessage(msg::kShowMainWindow, 0, 0);
    EXPECT_EQ(window.noDeviceMessages, 1);
    logic.onTimer(timer::kApplyDebounce);
    logic.handleMessage(2, 0, 0);
    EXPECT_EQ(window.log.back(), "quit");
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
    EXPECT_NE(text.find("Exec=\"/opt/my \\\\\"tvq\\\\\" \\\\$x/tvq-config\"\n"), std::string::npos)
        << text;
    ASSERT_TRUE(setAutostart(fs, xdg, false, ""));
    EXPECT_FALSE(autostartEnabled(fs, xdg));
    fs.failFolderCreation = true;
    EXPECT_FALSE(setAutostart(fs, env("/other"), true, "/p"));
}

}  // namespace
}  // namespace tvq
