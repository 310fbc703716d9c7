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
#include "processes.h"
#include "virtual_mouse_process.h"

namespace tvq::testing {

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

    // The program on `mouse` with `args`; `display` says where its windows go.
    pid_t startProgram(const VirtualMouseProcess& mouse,
                       std::vector<std::string> display = {"QT_QPA_PLATFORM=offscreen"},
                       std::vector<std::string> args = {}) {
        std::vector<std::string> env = {"TVQ_DEBUG=1",
                                        "TVQ_VIRTUAL_MOUSE=" + mouse.socketPath(),
                                        "XDG_DATA_HOME=" + dir + "/data",
                                        "XDG_CONFIG_HOME=" + dir + "/config",
                                        "HOME=" + dir,
                                        "XDG_RUNTIME_DIR=" + dir + "/run"};
        env.insert(env.end(), display.begin(), display.end());
        args.insert(args.begin(), TVQ_CONFIG_PATH);
        program = spawn(args, dir + "/program.err", env);
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
