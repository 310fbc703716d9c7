#include "apply_command.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <thread>

#include "base/clock.h"
#include "base/constants.h"
#include "device/feature_transport.h"
#include "device/link_state.h"
#include "device/message_queue.h"
#include "platform/program_folder.h"
#include "platform/shared_library.h"
#include "protocol/apply.h"
#include "protocol/device_worker.h"
#include "protocol/send_path.h"

namespace tvq {
namespace {

using namespace std::chrono_literals;

constexpr auto kHeartbeatWait = 10s;
constexpr const char* kBleModule = "tvqctl-ble.so";
constexpr const char* kBleEntry = "tvqctl_apply_over_ble";

// What the mouse tells while an apply runs: acknowledgements, heartbeats and
// a device that goes away.
void handle(const PostedMessage& m, LinkState& links) {
    const auto code = static_cast<std::uint16_t>(m.wParam & 0xFFFF);
    const auto value = static_cast<std::uint16_t>(static_cast<std::uintptr_t>(m.lParam) & 0xFFFF);
    switch (m.message) {
        case msg::kReceiverData:
            if (code == status::kAck) {
                links.ackReceived.store((value & 0xFF) == 0 ? 1 : 0);
            } else if (code == status::kHeartbeat) {
                links.receiverLinkUp.store(1);
                links.deviceAsleep.store((value & 0xFF) == 0 ? 1 : 0);
            }
            break;
        case msg::kReceiverAttach:
            if (m.wParam == 0) {
                links.receiverState.store(kDetached);
            }
            break;
        case msg::kWiredAttach:
            if (m.wParam == 0) {
                links.wiredState.store(kDetached);
            }
            break;
        default:
            break;
    }
}

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
    FeatureTransport cable, receiver;
    MessageQueueWindow window;
    LinkState links;
    SystemClock clock;

    const bool haveCable = cable.load(loader, folder + paths::kCableLibrary);
    const bool haveReceiver = receiver.load(loader, folder + paths::kReceiverLibrary);
    if (!haveCable && !haveReceiver) {
        std::cerr << "tvqctl: " << folder << ": cannot load " << paths::kCableLibrary << " or "
                  << paths::kReceiverLibrary << '\n';
        return 2;
    }
    const auto closeAll = [&] {
        receiver.closeFeature();
        receiver.closeMonitor();
        cable.closeFeature();
        cable.closeMonitor();
    };

    cable.setVidPid(usb::kVendor, usb::kCableProduct);
    cable.openMonitor(&window, msg::kWiredData, msg::kWiredAttach);
    if (cable.openFeature() != 0) {
        links.wiredState = kAttached;
        links.deviceAsleep = 0;
        std::cout << "mouse found on the cable" << std::endl;
    } else {
        receiver.setVidPid(usb::kVendor, usb::kReceiverProduct);
        receiver.openMonitor(&window, msg::kReceiverData, msg::kReceiverAttach);
        if (receiver.openFeature() == 0) {
            // Closing the monitors waits for their threads; that need not
            // hold up the apply.
            std::thread closer(closeAll);
            const int status = applyOverBle(profile);
            closer.join();
            if (status >= 0) {
                return status;
            }
            std::cerr << "tvqctl: no mouse found on the cable, the receiver or Bluetooth LE\n";
            return 2;
        }
        links.receiverState = kAttached;
        std::cout << "receiver found; waiting for the mouse..." << std::endl;
        const auto deadline = std::chrono::steady_clock::now() + kHeartbeatWait;
        while (links.receiverLinkUp.load() == 0 && std::chrono::steady_clock::now() < deadline) {
            if (const auto m = window.next(50ms)) {
                handle(*m, links);
            }
        }
        if (links.receiverLinkUp.load() == 0) {
            closeAll();
            std::cerr << "tvqctl: the receiver is attached but the mouse does not answer\n";
            return 2;
        }
        if (links.deviceAsleep.load() != 0) {
            closeAll();
            std::cerr << "tvqctl: the mouse is asleep; move it and try again\n";
            return 1;
        }
    }

    SendPath path(links, clock, &cable, &receiver, nullptr);
    const int status = runApply(profile, path, links, clock, [&] {
        if (const auto m = window.next(20ms)) {
            handle(*m, links);
        }
    });
    closeAll();
    return status;
}

}  // namespace tvq
