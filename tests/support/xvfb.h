// A private X server for tests on a free display number, stopped when the
// object goes away. Sets DISPLAY for this process while it runs.
//
// Xtigervnc is preferred: it is a headless X server like Xvfb, and it installs
// new keyboard maps (setxkbmap), which Debian 12's Xvfb compiles but never
// installs. Xvfb is the fallback.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace tvq::testing {

class Xvfb {
  public:
    // `size` is the screen's, as "<width>x<height>".
    explicit Xvfb(const std::string& size = "640x480") {
        const std::string depth = size + "x24";
        int fds[2];
        if (::pipe(fds) != 0) {
            return;
        }
        const std::string fd = std::to_string(fds[1]);
        const char* vnc[] = {"Xtigervnc", "-displayfd",     fd.c_str(),   "-nolisten",
                             "tcp",       "-SecurityTypes", "None",       "-rfbport",
                             "-1",        "-geometry",      size.c_str(), nullptr};
        const char* xvfb[] = {"Xvfb",    "-displayfd", fd.c_str(),    "-nolisten", "tcp",
                              "-screen", "0",          depth.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        int rc =
            posix_spawnp(&pid_, vnc[0], &actions, nullptr, const_cast<char* const*>(vnc), environ);
        if (rc != 0) {
            rc = posix_spawnp(&pid_, xvfb[0], &actions, nullptr, const_cast<char* const*>(xvfb),
                              environ);
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (rc != 0) {
            pid_ = -1;
            ::close(fds[0]);
            return;
        }
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        ::close(fds[0]);
        if (number.empty()) {
            stop();
            return;
        }
        display_ = ":" + number;
        if (const char* old = std::getenv("DISPLAY")) {
            previous_ = old;
        }
        ::setenv("DISPLAY", display_.c_str(), 1);
    }
    ~Xvfb() { stop(); }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool running() const { return !display_.empty(); }
    const std::string& display() const { return display_; }

    // Runs a command line against this server; true when it exited 0.
    bool run(const std::string& command) const {
        return std::system(("DISPLAY=" + display_ + " " + command + " >/dev/null 2>&1").c_str()) ==
               0;
    }

  private:
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        if (!display_.empty()) {
            if (previous_.empty()) {
                ::unsetenv("DISPLAY");
            } else {
                ::setenv("DISPLAY", previous_.c_str(), 1);
            }
            display_.clear();
        }
    }

    pid_t pid_ = -1;
    std::string display_;
    std::string previous_;
};

}  // namespace tvq::testing
