// tvq-virtual-mouse: the mouse's side of the protocol, for tests and demos.
//
// It presents the cable device (1d57:fa61) and the receiver (1d57:fa60) to
// the device-access library through a local socket (TVQ_VIRTUAL_MOUSE), takes
// and checks frames, acknowledges them through the receiver, sends heartbeats
// and status reports, and answers commands given on standard input or on a
// control socket, one per line. "help" lists them.

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>

#include "device/device_ids.h"
#include "virtual_mouse.h"

namespace {

using namespace tvq::virtualmouse;

int runVirtualMouse(int argc, char** argv) {
    Settings s;
    if (const char* env = std::getenv(tvq::paths::kVirtualMouseEnvironment)) {
        s.socketPath = env;
    }
    const std::string usage =
        "usage: tvq-virtual-mouse [--socket PATH] [--control PATH] [--log FILE]\n"
        "         [--cable] [--receiver] [--heartbeat-ms N] [--battery N] [--asleep]\n"
        "         [--no-heartbeat] [--no-ack] [--ack-delay-ms N[-M]] [--loss PERCENT]\n"
        "         [--late PERCENT] [--duplicate PERCENT] [--seed N]\n"
        "         [--ble-bus ADDRESS] [--ble-disconnected]\n"
        "The socket defaults to $TVQ_VIRTUAL_MOUSE. Commands come on standard input\n"
        "and on the control socket; type help.\n";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "tvq-virtual-mouse: " << a << " needs a value\n" << usage;
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--socket")
            s.socketPath = value();
        else if (a == "--control")
            s.controlPath = value();
        else if (a == "--log")
            s.logPath = value();
        else if (a == "--cable")
            s.cable = true;
        else if (a == "--receiver")
            s.receiver = true;
        else if (a == "--heartbeat-ms")
            s.heartbeatMs = std::max(10, std::atoi(value().c_str()));
        else if (a == "--battery")
            s.battery = std::atoi(value().c_str());
        else if (a == "--asleep")
            s.awake = false;
        else if (a == "--no-heartbeat")
            s.heartbeat = false;
        else if (a == "--no-ack")
            s.acks = false;
        else if (a == "--ack-delay-ms")
            setAckDelay(s, value());
        else if (a == "--late")
            s.latePercent = std::clamp(std::atoi(value().c_str()), 0, 100);
        else if (a == "--duplicate")
            s.duplicatePercent = std::clamp(std::atoi(value().c_str()), 0, 100);
        else if (a == "--loss")
            s.lossPercent = std::clamp(std::atoi(value().c_str()), 0, 100);
        else if (a == "--ble-bus")
            s.bleBus = value();
        else if (a == "--ble-disconnected")
            s.bleConnected = false;
        else if (a == "--seed")
            s.seed = static_cast<unsigned>(std::atoi(value().c_str()));
        else if (a == "--help" || a == "-h") {
            std::cout << usage << kHelp;
            return 0;
        } else {
            std::cerr << "tvq-virtual-mouse: unknown option " << a << '\n' << usage;
            return 2;
        }
    }
    if (s.socketPath.empty()) {
        std::cerr << "tvq-virtual-mouse: no socket: give --socket or set TVQ_VIRTUAL_MOUSE\n"
                  << usage;
        return 2;
    }
    return VirtualMouse(s).run();
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return runVirtualMouse(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "tvq-virtual-mouse: " << e.what() << '\n';
        return 2;
    }
}
