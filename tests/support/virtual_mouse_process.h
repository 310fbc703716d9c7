// Starts tvq-virtual-mouse in a private folder and talks to its control
// socket; stops it (and removes the folder) when it goes out of scope.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tvq::testing {

class VirtualMouseProcess {
  public:
    explicit VirtualMouseProcess(const std::vector<std::string>& options) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tvq-vm-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        std::vector<std::string> args = {
            TVQ_VIRTUAL_MOUSE_PATH, "--socket", socketPath(), "--control",
            controlPath(),          "--log",    logPath()};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            throw std::runtime_error("cannot start tvq-virtual-mouse");
        }
        for (int i = 0; i < 500 && !std::filesystem::exists(controlPath()); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    ~VirtualMouseProcess() {
        stop();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string socketPath() const { return folder_ + "/mouse.sock"; }
    std::string controlPath() const { return folder_ + "/control.sock"; }
    std::string logPath() const { return folder_ + "/log.jsonl"; }
    pid_t pid() const { return pid_; }

    // Sends one command and returns its one-line answer; "" when the process
    // does not answer within 10 s.
    std::string command(const std::string& line) const {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, controlPath().c_str(), sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        // A connection to a full backlog waits for room up to the send
        // timeout (without one, for ever); the reply up to the receive one.
        const timeval wait{.tv_sec = 10, .tv_usec = 0};
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            return "";  // nobody listens, or not in time
        }
        const std::string out = line + "\n";
        ::send(fd, out.data(), out.size(), MSG_NOSIGNAL);
        std::string reply;
        char buffer[4096];
        while (reply.find('\n') == std::string::npos) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            reply.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
        if (!reply.empty() && reply.back() == '\n') {
            reply.pop_back();
        }
        return reply;
    }

    // Ends the process: politely, then by force.
    void stop() {
        if (pid_ <= 0) {
            return;
        }
        command("quit");
        for (int i = 0; i < 200; ++i) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill();
    }

    void kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

  private:
    std::string folder_;
    pid_t pid_ = -1;
};

}  // namespace tvq::testing
