// The real program behind the receiver of tvq-virtual-mouse, on a private
// session bus with a stand-in notification service (python3-dbusmock): the
// battery falls, sleeps, charges; the Notify calls seen are exactly the
// expected ones, and the program's properties on the bus follow the mouse.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "private_bus.h"
#include "virtual_mouse_process.h"

namespace tvq {
namespace {

using namespace std::chrono_literals;
namespace fsys = std::filesystem;

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(20ms);
    }
    return done();
}

std::string output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            out += buffer;
        }
        ::pclose(pipe);
    }
    return out;
}

// Starts `args` with this process's environment and `env` added.
pid_t spawn(std::vector<std::string> args, const std::string& errFile,
            std::vector<std::string> env = {}) {
    std::vector<char*> argv, envp;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    for (char** e = environ; *e != nullptr; ++e) {
        envp.push_back(*e);  // after ours: the first of a name counts
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stop(pid_t pid) {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}

struct Notify {
    std::string app;
    unsigned replaces = 0;
    std::string icon;
    std::string summary;
    int urgency = -1;
};

class BatteryNotificationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus.running());
        std::string pattern = (fsys::temp_directory_path() / "tvq-notify-XXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        fsys::create_directory(dir + "/run");
        fsys::permissions(dir + "/run", fsys::perms::owner_all);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
    }
    void TearDown() override {
        stop(program);
        stop(notifier);
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        fsys::remove_all(dir);
    }

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
    std::string property(const std::string& name) const {
        return output(
            "gdbus call --session --dest io.github.tvq_config.TvqConfig "
            "--object-path /io/github/tvq_config/TvqConfig "
            "--method org.freedesktop.DBus.Properties.Get "
            "io.github.tvq_config.Profiles1 " +
            name);
    }
    pid_t startProgram(const testing::VirtualMouseProcess& mouse) const {
        return spawn(
            {TVQ_CONFIG_PATH}, dir + "/program.err",
            {"QT_QPA_PLATFORM=offscreen", "TVQ_DEBUG=1", "TVQ_VIRTUAL_MOUSE=" + mouse.socketPath(),
             "XDG_DATA_HOME=" + dir + "/data", "XDG_CONFIG_HOME=" + dir + "/config", "HOME=" + dir,
             "XDG_RUNTIME_DIR=" + dir + "/run"});
    }
    std::string programErrors() const {
        std::ifstream in(dir + "/program.err");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool batteryIs(int percent) const {
        return property("Battery") == "(<" + std::to_string(percent) + ">,)\n";
    }

    testing::PrivateBus bus;
    std::string dir;
    pid_t notifier = -1;
    pid_t program = -1;
};

TEST_F(BatteryNotificationTest, OneNotificationPerCrossingReplacingTheLastWithItsUrgency) {
    notifier = spawn({"/usr/bin/python3", "-m", "dbusmock", "--template", "notification_daemon",
                      "-l", dir + "/notify.log"},
                     dir + "/notifier.err");
    ASSERT_TRUE(waitFor([] {
        return output(
                   "gdbus call --session --dest org.freedesktop.DBus --object-path / --method "
                   "org.freedesktop.DBus.NameHasOwner org.freedesktop.Notifications") ==
               "(true,)\n";
    })) << "python3-dbusmock did not start";

    testing::VirtualMouseProcess mouse({"--receiver", "--heartbeat-ms", "100", "--battery", "6"});
    program = startProgram(mouse);
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
    program = startProgram(mouse);
    ASSERT_TRUE(waitFor([&] { return batteryIs(10); }));
    ASSERT_TRUE(waitFor([&] {
        return programErrors().find("notification not shown") != std::string::npos;
    })) << programErrors();
    mouse.command("battery 3");
    EXPECT_TRUE(waitFor([&] { return batteryIs(30); }));  // it goes on answering
}

}  // namespace
}  // namespace tvq
