// The apply of one profile on a worker of its own, printing each frame.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "apply_command.h"
#include "base/constants.h"
#include "protocol/apply.h"
#include "protocol/device_worker.h"

namespace tvq {
namespace {

const char* outcomeText(SendOutcome o) {
    switch (o) {
        case SendOutcome::kNoLink:
            return "no link";
        case SendOutcome::kAccepted:
            return "accepted";
        case SendOutcome::kRefused:
            return "refused";
        case SendOutcome::kAcknowledged:
            return "acknowledged";
        case SendOutcome::kUnacknowledged:
            return "not acknowledged";
        case SendOutcome::kSkipped:
            return "skipped";
    }
    return "?";
}

const char* frameName(std::uint8_t id) {
    switch (id) {
        case report::kDpi:
            return "DPI";
        case report::kLighting:
            return "lighting";
        case report::kPolling:
            return "polling";
        case report::kButtons:
            return "buttons";
        case report::kMacro:
            return "macro";
        case report::kProfileSelect:
            return "button mode";
        default:
            return "?";
    }
}

}  // namespace

int runApply(const Profile& profile, SendPath& path, LinkState& links, SystemClock& clock,
             const std::function<void()>& pump) {
    std::atomic<int> failures{0};
    std::atomic<bool> done{false};
    const auto started = std::chrono::steady_clock::now();
    ProfileApplier applier(
        path, links, [&] { return std::make_unique<Profile>(profile); },
        ApplyHooks{
            .started = nullptr,
            .frameSent =
                [&](std::size_t i, std::size_t n, const Frame& frame, SendOutcome o) {
                    // Polling frames are not sent over Bluetooth LE.
                    const bool ok = o == SendOutcome::kAccepted ||
                                    o == SendOutcome::kAcknowledged || o == SendOutcome::kSkipped;
                    failures += ok ? 0 : 1;
                    std::printf("[%2zu/%zu] %-11s %s\n", i + 1, n, frameName(frame[report::kId]),
                                outcomeText(o));
                    std::fflush(stdout);
                },
            .finished = nullptr,
        });
    // The request always runs: with the link gone the frames find no link
    // and the apply ends at once.
    DeviceWorker worker([] { return true; },
                        [&] {
                            if (!applier.apply()) {
                                failures += 1;
                            }
                            done = true;
                        });
    worker.start();
    worker.post(msg::kApply);
    while (!done.load()) {
        pump();
        if (!links.anyLink() && !done.load()) {
            clock.cancel();  // the mouse went away: stop waiting for it
        }
    }
    worker.stop();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - started)
                        .count();
    if (failures.load() != 0) {
        std::cout << failures.load() << " frame(s) not taken by the mouse (" << ms << " ms)"
                  << std::endl;
        return 1;
    }
    std::cout << "profile written (" << ms << " ms)" << std::endl;
    return 0;
}

}  // namespace tvq
