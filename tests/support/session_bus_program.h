// The real program on a private session bus, for tests that talk to it as
// the desktop does: a temporary folder for its data, settings and runtime
// files, the program started with them (offscreen unless told otherwise),
// gdbus to call it, and waits with a deadline.
#pragma once

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "private_bus.h"
#include "virtual_mouse_process.h"

namespace tvq::testing {

using namespace std::chrono_literals;

inline bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(20ms);
    }
    return done();
}

inline std::string output(const std::string& command) {
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

// Starts `args` with this process's environment and `env` added, standard
// error (and output, when named) into files.
inline pid_t spawn(std::vector<std::string> args, const std::string& errFile,
                   std::vector<std::string> env = {}, const std::string& outFile = "") {
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
    if (!outFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    pid_t pid = -1;
    posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

inline void stop(pid_t pid) {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}

class SessionBusProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus.running());
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tvq-bus-program-XXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        std::filesystem::create_directory(dir + "/run");
        std::filesystem::permissions(dir + "/run", std::filesystem::perms::owner_all);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
    }
    void TearDown() override {
        stop(program);
        for (pid_t pid : helpers) {
            stop(pid);
        }
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        std::filesystem::remove_all(dir);
    }

    // The program on `mouse`; `display` says where its windows go.
    pid_t startProgram(const VirtualMouseProcess& mouse,
                       std::vector<std::string> display = {"QT_QPA_PLATFORM=offscreen"}) {
        std::vector<std::string> env = {"TVQ_DEBUG=1",
                                        "TVQ_VIRTUAL_MOUSE=" + mouse.socketPath(),
                                        "XDG_DATA_HOME=" + dir + "/data",
                                        "XDG_CONFIG_HOME=" + dir + "/config",
                                        "HOME=" + dir,
                                        "XDG_RUNTIME_DIR=" + dir + "/run"};
        env.insert(env.end(), display.begin(), display.end());
        program = spawn({TVQ_CONFIG_PATH}, dir + "/program.err", env);
        return program;
    }
    std::string programErrors() const {
        std::ifstream in(dir + "/program.err");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // `gdbus call` of the program's `method` with `arguments` (shell words).
    std::string call(const std::string& method, const std::string& arguments = "") const {
        return output(
            "gdbus call --session --dest io.github.tvq_config.TvqConfig "
            "--object-path /io/github/tvq_config/TvqConfig --method " +
            method + " -- " + arguments);
    }
    std::string property(const std::string& name) const {
        return call("org.freedesktop.DBus.Properties.Get",
                    "io.github.tvq_config.Profiles1 " + name);
    }
    bool ownerOf(const std::string& name) const {
        return output(
                   "gdbus call --session --dest org.freedesktop.DBus --object-path / --method "
                   "org.freedesktop.DBus.NameHasOwner " +
                   name) == "(true,)\n";
    }

    PrivateBus bus;
    std::string dir;
    pid_t program = -1;
    std::vector<pid_t> helpers;  // stopped with the test
};

}  // namespace tvq::testing
