// Processes for tests and benchmarks: started with extra environment
// variables and their output in files, stopped, and shell commands whose
// output is read; waits with a deadline.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tvq::testing {

using namespace std::chrono_literals;

// Waits until `done` holds or `limit` has passed, looking again every 20 ms
// (other processes change what it reads, so there is nothing to be woken
// by); whether it holds. Never a fixed wait followed by one look.
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

// A new temporary folder `name` for a run of the program: emptied, with a
// private runtime folder "run" and the data folder of the mouse's stores.
struct ProgramFolder {
    std::string dir;
    std::string store;  // where pro.data lives
};
inline ProgramFolder freshProgramFolder(const std::string& name) {
    const std::string dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir + "/run");
    std::filesystem::permissions(dir + "/run", std::filesystem::perms::owner_all);
    const std::string store = dir + "/data/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1";
    std::filesystem::create_directories(store);
    return {dir, store};
}

inline void stop(pid_t pid) {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}

}  // namespace tvq::testing
