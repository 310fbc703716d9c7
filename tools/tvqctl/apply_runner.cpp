// The apply of one profile through a session, printing each frame.
#include <chrono>
#include <cstdio>
#include <iostream>

#include "apply_command.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "protocol/report_layout.h"

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

// Lines on standard output for what the apply does.
class PrintingObserver final : public LinkObserver {
  public:
    void frameSent(std::size_t index, std::size_t count, std::uint8_t reportId,
                   SendOutcome outcome) override {
        std::printf("[%2zu/%zu] %-11s %s\n", index + 1, count, frameName(reportId),
                    outcomeText(outcome));
        std::fflush(stdout);
    }
    void applyFinished(const ApplyResult& r) override {
        result = r;
        finished = true;
    }
    bool finished = false;
    ApplyResult result;
};

// Texts are never shown: the tool's stores are not loaded.
class NoTexts final : public TextSource {
  public:
    std::string text(std::string_view) const override { return {}; }
};

const DataLocation& toolLocation() {
    static PosixFileSystem fs;
    static const DataLocation location(fs, processEnvironment(), programFolder());
    return location;
}

const TextSource& noTexts() {
    static const NoTexts texts;
    return texts;
}

}  // namespace

ToolSession::ToolSession(BleTransport* ble) : session(toolLocation(), noTexts(), scheduler, ble) {}

int runApply(const Profile& profile, MouseSession& session, ManualScheduler& scheduler,
             const std::function<void()>& pump) {
    PrintingObserver printer;
    session.link().setObserver(&printer);
    const auto started = std::chrono::steady_clock::now();
    session.link().requestApply(std::make_unique<Profile>(profile));
    while (!printer.finished) {
        pump();
        scheduler.runDue();
    }
    session.link().setObserver(nullptr);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - started)
                        .count();
    const ApplyResult& r = printer.result;
    if (r.deferred != 0) {
        std::cout << r.deferred << " polling frame(s) not sent: Bluetooth LE does not carry them"
                  << std::endl;
    }
    if (!r.complete()) {
        const std::size_t failures = r.ran ? r.frames - r.taken : 1;
        std::cout << failures << " frame(s) not taken by the mouse (" << ms << " ms)" << std::endl;
        return 1;
    }
    std::cout << "profile written (" << ms << " ms)" << std::endl;
    return 0;
}

}  // namespace tvq
