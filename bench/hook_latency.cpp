// Latency of Hook.so: from an XTEST key press to the 1034 message posted to
// the window, over 1000 presses (and their releases) on a private X server.
// Prints the median and the 99th percentile.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "device/message_queue.h"
#include "platform/shared_library.h"
#include "tvq/hook.h"
#include "xvfb.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

int main(int argc, char** argv) {
    using namespace std::chrono;
    const int presses = argc > 1 ? std::atoi(argv[1]) : 1000;
    tvq::testing::Xvfb server;
    if (!server.running()) {
        std::fprintf(stderr, "hook_latency: no X server could be started\n");
        return 2;
    }
    tvq::SharedLibraryLoader loader;
    auto library = loader.load(std::string(TVQ_PROGRAM_FOLDER) + "/Hook.so");
    if (!library) {
        std::fprintf(stderr, "hook_latency: cannot load Hook.so\n");
        return 2;
    }
    auto* install = reinterpret_cast<TvqInstallHook*>(library->symbol("installhook"));
    auto* remove = reinterpret_cast<TvqRemoveHook*>(library->symbol("removehook"));
    tvq::MessageQueueWindow window;
    install(&window);
    Display* display = XOpenDisplay(nullptr);
    const KeyCode key = 38 + 0;  // the A key
    // Let the hook's selection reach the server before measuring.
    XTestFakeKeyEvent(display, key, True, 0);
    XTestFakeKeyEvent(display, key, False, 0);
    XFlush(display);
    while (window.next(milliseconds(300))) {
    }

    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(presses) * 2);
    int lost = 0;
    for (int i = 0; i < presses * 2; ++i) {
        const auto start = steady_clock::now();
        XTestFakeKeyEvent(display, key, i % 2 == 0 ? True : False, 0);
        XFlush(display);
        if (!window.next(milliseconds(1000))) {
            ++lost;
            continue;
        }
        micros.push_back(duration<double, std::micro>(steady_clock::now() - start).count());
    }
    remove();
    XCloseDisplay(display);
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double q) {
        return micros[static_cast<std::size_t>(q * (micros.size() - 1))];
    };
    std::printf(
        "hook latency over %zu key events (%d presses): median %.0f us, p99 %.0f us, "
        "max %.0f us, lost %d\n",
        micros.size(), presses, at(0.5), at(0.99), micros.back(), lost);
    return lost == 0 ? 0 : 1;
}
