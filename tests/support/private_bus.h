// A private D-Bus bus for one test: dbus-daemon started on a socket in a
// temporary folder and stopped with the test.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

extern char** environ;

namespace tvq::testing {

class PrivateBus {
  public:
    PrivateBus() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tvq-bus-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        int fds[2];
        if (::pipe(fds) != 0) {
            return;
        }
        const std::string listen = "--address=unix:path=" + folder_ + "/bus";
        const std::string print = "--print-address=" + std::to_string(fds[1]);
        const char* argv[] = {"dbus-daemon",  "--session",   "--nofork", "--nopidfile",
                              listen.c_str(), print.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int rc = posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr,
                                    const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (rc != 0) {
            pid_ = -1;
            ::close(fds[0]);
            return;
        }
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') {
            address_ += c;
        }
        ::close(fds[0]);
    }
    ~PrivateBus() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool running() const { return !address_.empty(); }
    const std::string& address() const { return address_; }

  private:
    pid_t pid_ = -1;
    std::string folder_;
    std::string address_;
};

}  // namespace tvq::testing
