// Cold start of tvq-config to its first shown window, against a minimal Qt
// window program started the same way: median of 25 starts each, on a
// private X server, measured from the spawn to the window being mapped.
// Also the time until the settings page is built and drawn, and the event
// loop is free again (the file the program writes under TVQ_READY_FILE).
// Then the program's resident memory after 3 s idle. Given program folders,
// it compares them instead (see compare()).
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "xvfb.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Clock = std::chrono::steady_clock;

bool mappedWindowNamed(Display* d, Window w, const char* name) {
    XWindowAttributes a;
    if (XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) {
        char* title = nullptr;
        if (XFetchName(d, w, &title) && title != nullptr) {
            const bool match = std::strstr(title, name) != nullptr;
            XFree(title);
            if (match) {
                return true;
            }
        }
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) {
        return false;
    }
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
        found = mappedWindowNamed(d, children[i], name);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

struct Run {
    double ms = -1;       // to the mapped window
    double readyMs = -1;  // to the ready file, when one was asked for
    pid_t pid = -1;
};

Run start(const std::string& program, const char* title, const std::string& runtime,
          const char* argument = nullptr, const std::string& readyFile = {}) {
    std::string runtimeVar = "XDG_RUNTIME_DIR=" + runtime;
    std::string display = std::string("DISPLAY=") + std::getenv("DISPLAY");
    std::string data = "XDG_DATA_HOME=" + runtime + "/data";
    std::string ready = "TVQ_READY_FILE=" + readyFile;
    char* envp[] = {runtimeVar.data(), display.data(), data.data(),
                    readyFile.empty() ? nullptr : ready.data(), nullptr};
    std::filesystem::remove(readyFile.empty() ? runtime + "/none" : readyFile);
    std::string path = program;
    std::string arg = argument != nullptr ? argument : "";
    char* argv[] = {path.data(), argument != nullptr ? arg.data() : nullptr, nullptr};
    Display* d = XOpenDisplay(nullptr);
    Run run;
    const auto begin = Clock::now();
    if (posix_spawn(&run.pid, argv[0], nullptr, nullptr, argv, envp) != 0) {
        std::fprintf(stderr, "startup_time: cannot start %s\n", program.c_str());
        run.pid = -1;
        XCloseDisplay(d);
        return run;
    }
    while (Clock::now() - begin < std::chrono::seconds(20)) {
        if (mappedWindowNamed(d, DefaultRootWindow(d), title)) {
            run.ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    while (!readyFile.empty() && Clock::now() - begin < std::chrono::seconds(20)) {
        if (std::filesystem::exists(readyFile)) {
            run.readyMs = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    XCloseDisplay(d);
    return run;
}

void stop(pid_t pid) {
    if (pid <= 0) {
        return;  // never started: kill(-1) would reach every process of the user
    }
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

long rssKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

// Starts of each program; the machine's own noise needs more than a few.
constexpr int kStarts = 25;

double quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
}

double median(const std::vector<double>& v) {
    return quantile(v, 0.5);
}

}  // namespace

// Program folders given on the command line are started in turn, start by
// start, so that each sees the machine as the others do: the way to see a
// change of a few milliseconds, which the machine's drift between two runs
// of this benchmark hides.
int compare(const std::vector<std::string>& folders, const std::string& runtime) {
    for (const std::string& folder : folders) {
        if (!std::filesystem::is_regular_file(folder + "/tvq-config")) {
            std::fprintf(stderr, "startup_time: no tvq-config in %s\n", folder.c_str());
            return 2;
        }
    }
    const std::string readyFile = runtime + "/ready";
    std::vector<std::vector<double>> first(folders.size()), ready(folders.size());
    for (int i = 0; i < kStarts; ++i) {
        for (std::size_t f = 0; f < folders.size(); ++f) {
            Run run = start(folders[f] + "/tvq-config", "TERVANA", runtime, nullptr, readyFile);
            first[f].push_back(run.ms);
            ready[f].push_back(run.readyMs);
            stop(run.pid);
        }
    }
    for (std::size_t f = 0; f < folders.size(); ++f) {
        std::printf(
            "%s: first frame %.1f ms, settings page drawn %.1f ms (medians of %d; middle half "
            "%.1f-%.1f ms)\n",
            folders[f].c_str(), median(first[f]), median(ready[f]), kStarts,
            quantile(ready[f], 0.25), quantile(ready[f], 0.75));
    }
    return 0;
}

int main(int argc, char** argv) {
    tvq::testing::Xvfb server;
    if (!server.running()) {
        std::fprintf(stderr, "startup_time: no X server\n");
        return 2;
    }
    const std::string runtime = std::filesystem::temp_directory_path() / "tvq-bench-runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    if (argc > 1) {
        const int status = compare(std::vector<std::string>(argv + 1, argv + argc), runtime);
        std::filesystem::remove_all(runtime);
        return status;
    }
    const std::string folder = TVQ_PROGRAM_FOLDER;

    std::vector<double> program, ready, minimal, minimalText;
    const std::string readyFile = runtime + "/ready";
    for (int i = 0; i < kStarts; ++i) {
        Run a = start(folder + "/minimal_window", "Minimal Qt window", runtime);
        minimal.push_back(a.ms);
        stop(a.pid);
        Run t = start(folder + "/minimal_window", "Minimal Qt window", runtime, "--text");
        minimalText.push_back(t.ms);
        stop(t.pid);
        Run b = start(folder + "/tvq-config", "TERVANA", runtime, nullptr, readyFile);
        program.push_back(b.ms);
        ready.push_back(b.readyMs);
        stop(b.pid);
    }
    const double p = median(program), m = median(minimal);
    std::printf(
        "cold start to first shown window, median of %d: tvq-config %.1f ms, minimal Qt "
        "window %.1f ms, ratio %.2f\n",
        kStarts, p, m, p / m);
    const double mt = median(minimalText);
    std::printf(
        "  against a minimal Qt window showing one line of text: %.1f ms, ratio %.2f (middle "
        "half of the starts: tvq-config %.1f-%.1f ms, the window with text %.1f-%.1f ms)\n",
        mt, p / mt, quantile(program, 0.25), quantile(program, 0.75), quantile(minimalText, 0.25),
        quantile(minimalText, 0.75));
    const double r = median(ready);
    std::printf(
        "cold start until the settings page is drawn and answers input, median of %d: %.1f ms, "
        "ratio %.2f against the minimal window showing text (middle half %.1f-%.1f ms)\n",
        kStarts, r, r / mt, quantile(ready, 0.25), quantile(ready, 0.75));
    // The machine's speed drifts during the run; each start against the
    // window with text started just before it drifts far less.
    std::vector<double> firstPaired, readyPaired;
    for (int i = 0; i < kStarts; ++i) {
        firstPaired.push_back(program[i] / minimalText[i]);
        readyPaired.push_back(ready[i] / minimalText[i]);
    }
    std::printf(
        "  each start against the window with text started just before it, median of the %d "
        "ratios: first frame %.2f, page %.2f\n",
        kStarts, median(firstPaired), median(readyPaired));

    Run idle = start(folder + "/tvq-config", "TERVANA", runtime);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    std::printf("resident memory of tvq-config after 3 s idle: %.1f MB\n",
                rssKb(idle.pid) / 1024.0);
    stop(idle.pid);
    std::filesystem::remove_all(runtime);
    return 0;
}
