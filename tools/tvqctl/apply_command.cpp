#include "apply_command.h"

#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include "device/device_ids.h"
#include "device/message_queue.h"
#include "failure.h"
#include "platform/program_folder.h"
#include "platform/shared_library.h"

namespace tvq {
namespace {

using namespace std::chrono_literals;

constexpr auto kHeartbeatWait = 10s;
constexpr const char* kBleModule = "tvqctl-ble.so";
constexpr const char* kBleEntry = "tvqctl_apply_over_ble";

}  // namespace

int applyOverBle(const Profile& profile) {
    // Bluetooth LE needs Qt's D-Bus module, which the other commands do
    // without: it lives in a module of its own, loaded only here.
    SharedLibraryLoader loader;
    const auto module = loader.load(programFolder() + kBleModule);
    if (!module) {
        return -1;
    }
    using Apply = int (*)(const Profile*);
    const auto apply = reinterpret_cast<Apply>(module->symbol(kBleEntry));
    return apply != nullptr ? apply(&profile) : -1;
}

int applyToMouse(const Profile& profile) {
    const std::string folder = programFolder();
    SharedLibraryLoader loader;
    MessageQueueWindow window;
    ToolSession tool;
    MouseLink& link = tool.session.link();
    const LinkState& links = link.links();
    // The libraries' messages go to the session, as the main window's do.
    const auto pump = [&](std::chrono::milliseconds wait) {
        if (const auto m = window.next(wait)) {
            link.onDeviceMessage(m->message, m->wParam, m->lParam);
        }
        tool.scheduler.runDue();
    };

    link.start(loader, folder, &window, false);
    if (!link.cableAvailable() && !link.receiverAvailable()) {
        std::cerr << errorPrefix() << "" << folder << ": cannot load " << paths::kCableLibrary
                  << " or " << paths::kReceiverLibrary << '\n';
        return 2;
    }
    if (links.wired()) {
        std::cout << "mouse found on the cable" << std::endl;
    } else if (links.receiver()) {
        std::cout << "receiver found; waiting for the mouse..." << std::endl;
        const auto deadline = std::chrono::steady_clock::now() + kHeartbeatWait;
        while (links.receiverLinkUp.load() == 0 && std::chrono::steady_clock::now() < deadline) {
            pump(50ms);
        }
        if (links.receiverLinkUp.load() == 0) {
            std::cerr << errorPrefix()
                      << "the receiver is attached but the mouse does not answer\n";
            return 2;
        }
        if (links.deviceAsleep.load() != 0) {
            std::cerr << errorPrefix() << "the mouse is asleep; move it and try again\n";
            return 1;
        }
    } else {
        // Closing the monitors waits for their threads; that need not hold
        // up the apply.
        std::thread closer([&] { tool.session.shutdown(); });
        const int status = applyOverBle(profile);
        closer.join();
        if (status >= 0) {
            return status;
        }
        std::cerr << errorPrefix() << "no mouse found on the cable, the receiver or Bluetooth LE\n";
        return 2;
    }
    return runApply(profile, tool.session, tool.scheduler, [&] { pump(20ms); });
}

}  // namespace tvq
