// The console: the commands the virtual mouse takes on standard input and
// on its control socket, one per line.
#include <algorithm>
#include <cstdlib>

#include "virtual_mouse.h"

namespace tvq::virtualmouse {

const char* const kHelp =
    "commands:\n"
    "  plug cable|receiver|both      unplug cable|receiver|both\n"
    "  heartbeat on|off              period MS           battery LEVEL\n"
    "  sleep                         wake\n"
    "  dpi-stage N (1..8)            button-mode N       polling N\n"
    "  status CODE VALUE             report HEX...       (raw status / input report)\n"
    "  ack on|off                    ack-delay MS[-MS]   loss PERCENT      refuse N\n"
    "  late PERCENT                  duplicate PERCENT   (acknowledgements)\n"
    "  config                        stats               quit\n"
    "  ble connect|disconnect|remove|add|freeze|thaw   (with --ble-bus)\n"
    "  ble refuse-first on|off       ble notify HEX...   (a raw notification)\n";

// "N" or "N-M": the acknowledgement delay, fixed or at random in the range.
void setAckDelay(Settings& s, const std::string& text) {
    const std::size_t dash = text.find('-');
    const int low = std::max(0, std::atoi(text.substr(0, dash).c_str()));
    const int high = dash == std::string::npos ? low : std::atoi(text.substr(dash + 1).c_str());
    s.ackDelayMinMs = low;
    s.ackDelayMaxMs = std::max(low, high);
}

std::string VirtualMouse::command(const std::string& line) {
    std::istringstream in(line);
    std::string verb, arg;
    in >> verb >> arg;
    const auto number = [](const std::string& text, long fallback) {
        try {
            return std::stol(text, nullptr, 0);
        } catch (...) {
            return fallback;
        }
    };
    const auto devices = [&]() -> std::vector<Device> {
        if (arg == "cable")
            return {Device::kCable};
        if (arg == "receiver")
            return {Device::kReceiver};
        if (arg == "both")
            return {Device::kCable, Device::kReceiver};
        return {};
    };
    if (verb.empty()) {
        return "";
    }
    log({{"command", line}});
    if (verb == "plug" || verb == "unplug") {
        const auto list = devices();
        if (list.empty()) {
            return "error: plug and unplug take cable, receiver or both";
        }
        for (Device d : list) {
            setPlugged(d, verb == "plug");
        }
    } else if (verb == "heartbeat") {
        s_.heartbeat = arg != "off";
    } else if (verb == "period") {
        s_.heartbeatMs = static_cast<int>(std::max(10L, number(arg, 1000)));
        nextHeartbeat_ = Clock::now() + std::chrono::milliseconds(s_.heartbeatMs);
    } else if (verb == "battery") {
        s_.battery = static_cast<int>(number(arg, 8));
    } else if (verb == "sleep" || verb == "wake") {
        s_.awake = verb == "wake";
        sendReport(Device::kReceiver, {status::kHeartbeat, heartbeatValue()});
    } else if (verb == "dpi-stage") {
        const auto stage = static_cast<std::uint16_t>(number(arg, 1));
        model_.setStage(1, static_cast<std::uint8_t>(stage));
        model_.setStage(2, static_cast<std::uint8_t>(stage));
        sendReportEverywhere({status::kDpiStage, stage});
    } else if (verb == "button-mode") {
        const auto mode = static_cast<std::uint16_t>(number(arg, 0));
        model_.setProfileMode(static_cast<std::uint8_t>(mode + 1));
        sendReportEverywhere({status::kButtonMode, mode});
    } else if (verb == "polling") {
        sendReportEverywhere({status::kPolling, static_cast<std::uint16_t>(number(arg, 1))});
    } else if (verb == "status") {
        std::string value;
        in >> value;
        sendReportEverywhere({static_cast<std::uint16_t>(number(arg, 0)),
                              static_cast<std::uint16_t>(number(value, 0))});
    } else if (verb == "report") {
        std::vector<std::uint8_t> bytes;
        for (std::string h = arg; !h.empty(); h.clear(), in >> h) {
            bytes.push_back(static_cast<std::uint8_t>(number("0x" + h, 0)));
        }
        sendRawReport(bytes);
    } else if (verb == "ack") {
        s_.acks = arg != "off";
    } else if (verb == "ack-delay") {
        setAckDelay(s_, arg);
    } else if (verb == "late") {
        s_.latePercent = static_cast<int>(std::clamp(number(arg, 0), 0L, 100L));
    } else if (verb == "duplicate") {
        s_.duplicatePercent = static_cast<int>(std::clamp(number(arg, 0), 0L, 100L));
    } else if (verb == "loss") {
        s_.lossPercent = static_cast<int>(std::clamp(number(arg, 0), 0L, 100L));
    } else if (verb == "refuse") {
        refuseNext_ = static_cast<int>(std::max(0L, number(arg, 1)));
    } else if (verb == "ble") {
        return bleCommand(arg, in);
    } else if (verb == "config") {
        return model_.json().dump();
    } else if (verb == "stats") {
        int monitors = 0;  // the libraries' monitors connected, which receive reports
        for (const auto& [fd, c] : wire_) {
            monitors += c.role == Connection::Role::kMonitor ? 1 : 0;
        }
        return Json{{"accepted", model_.accepted()},
                    {"refused", model_.refused()},
                    {"monitors", monitors},
                    {"cable", s_.cable},
                    {"receiver", s_.receiver},
                    {"ble", ble_ ? Json{{"connected", ble_->connected()},
                                        {"present", ble_->present()},
                                        {"notifying", ble_->notifying()},
                                        {"writes", ble_->writes()}}
                                 : Json()}}
            .dump();
    } else if (verb == "quit") {
        quit_ = true;
    } else if (verb == "help") {
        return kHelp;
    } else {
        return "error: unknown command '" + verb + "' (try help)";
    }
    return "ok";
}

std::string VirtualMouse::bleCommand(const std::string& arg, std::istringstream& in) {
    if (!ble_) {
        return "error: no Bluetooth LE peer (start with --ble-bus ADDRESS)";
    }
    if (arg == "connect" || arg == "disconnect") {
        ble_->setConnected(arg == "connect");
    } else if (arg == "add" || arg == "remove") {
        ble_->setPresent(arg == "add");
    } else if (arg == "freeze" || arg == "thaw") {
        ble_->setFrozen(arg == "freeze");
    } else if (arg == "refuse-first") {
        std::string on;
        in >> on;
        ble_->setRefuseFirst(on != "off");
    } else if (arg == "notify") {
        std::vector<std::uint8_t> bytes;
        for (std::string h; in >> h;) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(h, nullptr, 16)));
        }
        if (!ble_->notify(bytes)) {
            return "error: not connected or nobody subscribed";
        }
    } else {
        return "error: ble takes connect, disconnect, add, remove, freeze, thaw, refuse-first "
               "or notify";
    }
    log({{"event", "ble " + arg}});
    return "ok";
}

}  // namespace tvq::virtualmouse
