// tvq-config as a user starts it: one copy at a time, and its exit codes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "processes.h"
#include "xvfb.h"

extern char** environ;

namespace tvq {
namespace {

using namespace std::chrono_literals;
using testing::waitFor;
namespace fsys = std::filesystem;

const std::string kProduct = "TERVANA TVQ-R270 WIRELESS MOUSE";

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fsys::temp_directory_path() / "tvq-proc-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        fsys::create_directory(dir_ + "/run");
        fsys::permissions(dir_ + "/run", fsys::perms::owner_all);
    }
    void TearDown() override {
        for (pid_t pid : started_) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        fsys::remove_all(dir_);
    }

    std::string uidPart() const { return "-" + std::to_string(::getuid()); }
    std::string lockPath() const { return dir_ + "/run/" + kProduct + uidPart() + ".lock"; }
    std::string socketPath() const { return dir_ + "/run/" + kProduct + uidPart() + ".socket"; }
    std::string errPath(int n) const { return dir_ + "/err" + std::to_string(n); }

    // `display`: the variables that say where windows go; `runtime`: the
    // runtime folder variable (empty: unset).
    pid_t start(int n, std::vector<std::string> args = {},
                std::vector<std::string> display = {"QT_QPA_PLATFORM=offscreen"},
                std::optional<std::string> runtime = std::nullopt,
                std::string program = TVQ_CONFIG_PATH) {
        std::vector<std::string> env = {"TVQ_DEBUG=1", "XDG_DATA_HOME=" + dir_ + "/data",
                                        "HOME=" + dir_, "TMPDIR=" + dir_};
        const std::string folder = runtime.value_or(dir_ + "/run");
        if (!folder.empty()) {
            env.push_back("XDG_RUNTIME_DIR=" + folder);
        }
        env.insert(env.end(), display.begin(), display.end());
        args.insert(args.begin(), program);
        std::vector<char*> argv, envp;
        for (auto& a : args)
            argv.push_back(a.data());
        for (auto& e : env)
            envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath(n).c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = -1;
        posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        started_.push_back(pid);
        return pid;
    }

    // The exit status, or -1 when the process did not end in time.
    int wait(pid_t pid, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (std::chrono::steady_clock::now() < end) {
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                std::erase(started_, pid);
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }

    std::string err(int n) const {
        std::ifstream in(errPath(n));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string dir_;
    std::vector<pid_t> started_;
};

TEST_F(ProgramTest, ASecondCopyShowsTheFirstAndEndsWithOne) {
    const pid_t first = start(1, {"--hidden"});
    ASSERT_TRUE(waitFor([&] { return fsys::exists(socketPath()); }, 10s));
    // Its size only: a command line is the user's.
    EXPECT_NE(err(1).find("command line: 8 bytes"), std::string::npos) << err(1);

    const pid_t second = start(2);
    EXPECT_EQ(wait(second, 10s), 1);
    // The running copy brings its window to the front (no mouse is needed).
    EXPECT_TRUE(
        waitFor([&] { return err(1).find("main window to the front") != std::string::npos; }, 5s))
        << err(1);
    EXPECT_EQ(wait(first, 100ms), -1);  // still running
}

TEST_F(ProgramTest, OneCopyAlsoWithoutAUsableRuntimeFolderOrWithALongOne) {
    const std::string deep = dir_ + "/" + std::string(100, 'r');
    fsys::create_directory(deep);
    fsys::permissions(deep, fsys::perms::owner_all);
    for (const std::string& runtime : {std::string(), dir_ + "/missing", deep}) {
        SCOPED_TRACE("XDG_RUNTIME_DIR=" + runtime);
        std::filesystem::remove(errPath(1));
        const pid_t first = start(1, {}, {"QT_QPA_PLATFORM=offscreen"}, runtime);
        const std::string folder =
            runtime == deep ? deep : dir_ + "/tvq-runtime-" + std::to_string(::getuid());
        const std::string socket = folder + "/" + kProduct + uidPart() + ".socket";
        ASSERT_TRUE(waitFor([&] { return fsys::exists(socket); }, 10s)) << err(1);
        const pid_t second = start(2, {}, {"QT_QPA_PLATFORM=offscreen"}, runtime);
        EXPECT_EQ(wait(second, 10s), 1);
        // The running copy heard the second one.
        EXPECT_TRUE(waitFor(
            [&] { return err(1).find("main window to the front") != std::string::npos; }, 5s))
            << err(1);
        ::kill(first, SIGKILL);
        wait(first, 5s);
        fsys::remove(socket);  // a killed copy leaves it; the next wait must see a new one
    }
    // The fallback is private to the user.
    const auto perms =
        fsys::status(dir_ + "/tvq-runtime-" + std::to_string(::getuid())).permissions();
    EXPECT_EQ(perms & fsys::perms::all, fsys::perms::owner_all);
}

TEST_F(ProgramTest, TwoCopiesInDifferentSessionsNeverWriteOneDataFolder) {
    // Two runtime folders, as two sessions of one user have; one data folder.
    fsys::create_directory(dir_ + "/run2");
    fsys::permissions(dir_ + "/run2", fsys::perms::owner_all);
    const pid_t first = start(1);
    const std::string lock = dir_ + "/data/" + kProduct + "/tvq-config.lock";
    ASSERT_TRUE(waitFor([&] { return fsys::exists(lock); }, 10s));
    fsys::remove(lock);  // the folder stays locked all the same
    const pid_t second = start(2, {}, {"QT_QPA_PLATFORM=offscreen"}, dir_ + "/run2");
    EXPECT_TRUE(waitFor([&] { return err(2).find("is in use") != std::string::npos; }, 10s))
        << err(2);
    ::kill(second, SIGKILL);  // the message box waits for the user
    wait(second, 5s);
    EXPECT_EQ(wait(first, 200ms), -1);  // the first runs on
}

TEST_F(ProgramTest, MissingOrDamagedResourcesAreSaid) {
    // A program folder of its own: the program, and res/ without lan.xml,
    // then with a main.xml cut in the middle.
    const std::string folder = dir_ + "/program";
    fsys::create_directories(folder + "/res");
    fsys::copy_file(TVQ_CONFIG_PATH, folder + "/tvq-config");
    const std::string res = fsys::path(TVQ_CONFIG_PATH).parent_path() / "res";
    std::ifstream in(res + "/main.xml");
    const std::string layout((std::istreambuf_iterator<char>(in)), {});
    for (const bool withTexts : {false, true}) {
        if (withTexts) {
            fsys::copy_file(res + "/lan.xml", folder + "/res/lan.xml");
            std::ofstream(folder + "/res/main.xml") << layout.substr(0, layout.size() / 2);
        }
        const pid_t pid =
            start(1, {}, {"QT_QPA_PLATFORM=offscreen"}, std::nullopt, folder + "/tvq-config");
        EXPECT_TRUE(waitFor(
            [&] { return err(1).find("are missing or damaged") != std::string::npos; }, 10s))
            << err(1);
        ::kill(pid, SIGKILL);  // the message box waits for the user
        wait(pid, 5s);
    }
}

TEST_F(ProgramTest, HelpAndVersionNeedNoDisplayAndUnknownOptionsAreRefused) {
    const std::string program = std::string("env -u DISPLAY -u WAYLAND_DISPLAY ") + TVQ_CONFIG_PATH;
    const std::string help = testing::output(program + " --help; echo $?");
    EXPECT_NE(help.find("usage: tvq-config [--hidden]"), std::string::npos) << help;
    EXPECT_EQ(help.substr(help.size() - 2), "0\n");
    const std::string version = testing::output(program + " --version; echo $?");
    EXPECT_EQ(version.rfind("tvq-config ", 0), 0u) << version;
    EXPECT_EQ(version.substr(version.size() - 2), "0\n");
    EXPECT_EQ(testing::output(program + " --bogus 2>&1; echo $?"),
              "tvq-config: unknown option '--bogus' (see tvq-config --help)\n2\n");
}

TEST_F(ProgramTest, WithoutADisplayItSaysSoInOneLineAndEndsWithOne) {
    for (const std::vector<std::string>& display :
         {std::vector<std::string>{}, std::vector<std::string>{"DISPLAY=:97"}}) {
        const pid_t pid = start(1, {}, display);
        EXPECT_EQ(wait(pid, 10s), 1);
        const std::string text = err(1);
        EXPECT_NE(text.find("needs a graphical session"), std::string::npos) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    }
}

TEST_F(ProgramTest, StartedWithTheDesktopItWaitsInTheTrayAndByHandItShowsItsWindow) {
    const auto ready = [&](int n, const char* how) {
        return waitFor(
            [&] {
                return err(n).find(std::string("settings ready, window ") + how) !=
                       std::string::npos;
            },
            10s);
    };
    start(1, {"--hidden"});
    EXPECT_TRUE(ready(1, "in the tray or minimised")) << err(1);
    ::kill(started_.back(), SIGTERM);
    EXPECT_EQ(wait(started_.back(), 10s), 0);
    start(2);  // no mouse either: the window opens all the same
    EXPECT_TRUE(ready(2, "shown")) << err(2);
}

TEST_F(ProgramTest, AtTwiceTheScaleOnASmallScreenTheWindowFitsInsideIt) {
    testing::Xvfb x("1280x900");
    ASSERT_TRUE(x.running());
    start(1, {}, {"DISPLAY=" + x.display(), "QT_QPA_PLATFORM=xcb", "QT_SCALE_FACTOR=2"});
    ASSERT_TRUE(waitFor(
        [&] { return err(1).find("settings ready, window shown") != std::string::npos; }, 20s))
        << err(1);
    // The program's own window, as the X server has it: "WxH+X+Y".
    const std::string list = dir_ + "/windows";
    ASSERT_EQ(
        std::system(("DISPLAY=" + x.display() + " xwininfo -root -tree > '" + list + "'").c_str()),
        0);
    std::ifstream in(list);
    std::string line;
    int w = 0, h = 0, left = -1, top = -1;
    while (std::getline(in, line)) {
        if (line.find("(\"tvq-config\"") != std::string::npos) {
            const std::size_t at = line.find(")  ");
            ASSERT_EQ(std::sscanf(line.c_str() + at + 3, "%dx%d+%d+%d", &w, &h, &left, &top), 4)
                << line;
        }
    }
    EXPECT_GT(w, 0) << "no window of the program";
    EXPECT_LE(w, 1280);
    EXPECT_LE(h, 900);
    EXPECT_GE(left, 0);
    EXPECT_GE(top, 0);
    EXPECT_LE(left + w, 1280);
    EXPECT_LE(top + h, 900);
}

TEST_F(ProgramTest, ASessionBusThatNeverAnswersCostsTheStartTwoSecondsAndIsSaid) {
    // A bus that takes connections (the kernel queues them) and never speaks.
    const std::string path = dir_ + "/silent-bus";
    const int bus = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(bus, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(bus, 64), 0);
    const auto began = std::chrono::steady_clock::now();
    start(1, {}, {"QT_QPA_PLATFORM=offscreen", "DBUS_SESSION_BUS_ADDRESS=unix:path=" + path});
    EXPECT_TRUE(waitFor(
        [&] { return err(1).find("settings ready, window shown") != std::string::npos; }, 10s))
        << err(1);
    const auto took = std::chrono::steady_clock::now() - began;
    std::printf("[ figures  ] window ready on a silent session bus after %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_NE(err(1).find("does not answer; this copy runs without it"), std::string::npos);
    ::kill(started_.back(), SIGTERM);
    EXPECT_EQ(wait(started_.back(), 10s), 0);
    ::close(bus);
}

TEST_F(ProgramTest, ACopyStartedWhileTheFirstIsStillStartingEndsWithOne) {
    // Holding the lock stands for a first copy that has no window yet.
    const int fd = ::open(lockPath().c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    const pid_t copy = start(1);
    EXPECT_EQ(wait(copy, 10s), 1);
    ::close(fd);
}

TEST_F(ProgramTest, EndingTheProgramGivesZero) {
    const pid_t program = start(1);
    ASSERT_TRUE(waitFor([&] { return fsys::exists(socketPath()); }, 10s));
    ::kill(program, SIGTERM);  // the same path as the tray menu's "exit"
    EXPECT_EQ(wait(program, 10s), 0);
    // The lock is free again: a new copy starts normally.
    const pid_t next = start(2);
    ASSERT_TRUE(waitFor([&] { return fsys::exists(socketPath()); }, 10s));
    ::kill(next, SIGTERM);
    EXPECT_EQ(wait(next, 10s), 0);
}

}  // namespace
}  // namespace tvq
