// tvq-virtual-mouse: the mouse's side of the protocol, for tests and demos.
//
// It presents the cable device (1d57:fa61) and the receiver (1d57:fa60) to
// the device-access library through a local socket (TVQ_VIRTUAL_MOUSE), takes
// and checks frames, acknowledges them through the receiver, sends heartbeats
// and status reports, and answers commands given on standard input or on a
// control socket, one per line. "help" lists them.

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ble_peer.h"
#include "device/device_ids.h"
#include "device/input_report.h"
#include "device/virtual_wire.h"
#include "device_model.h"
#include "protocol/report_layout.h"
#include "protocol/status_codes.h"

namespace {

using namespace tvq;
using namespace tvq::virtualmouse;
using Clock = std::chrono::steady_clock;
using Json = nlohmann::ordered_json;

constexpr const char* kHelp =
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

// A late acknowledgement comes this much after the frame's own delay: after
// the program's repeat interval of 700 ms.
constexpr int kLateAckMs = 760;
// A repeated acknowledgement follows the first within this many ms.
constexpr int kDuplicateGapMaxMs = 5;

enum class Device { kCable, kReceiver };

const char* name(Device d) {
    return d == Device::kCable ? "cable" : "receiver";
}

std::optional<Device> deviceOf(wire::DeviceId id) {
    if (id.vid != usb::kVendor) {
        return std::nullopt;
    }
    if (id.pid == usb::kCableProduct) {
        return Device::kCable;
    }
    if (id.pid == usb::kReceiverProduct) {
        return Device::kReceiver;
    }
    return std::nullopt;
}

std::string hexText(std::span<const std::uint8_t> bytes) {
    std::string s;
    char b[4];
    for (std::uint8_t v : bytes) {
        std::snprintf(b, sizeof b, s.empty() ? "%02X" : " %02X", v);
        s += b;
    }
    return s;
}

int listenOn(const std::string& path, int type) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return -1;
    }
    std::strcpy(address.sun_path, path.c_str());
    ::unlink(path.c_str());
    const int fd = ::socket(AF_UNIX, type | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    return fd;
}

struct Connection {
    enum class Role { kUnknown, kMonitor, kFeature } role = Role::kUnknown;
    Device device = Device::kCable;
};

struct Settings {
    std::string socketPath;
    std::string controlPath;
    std::string logPath;
    bool cable = false;
    bool receiver = false;
    int heartbeatMs = 1000;
    bool heartbeat = true;
    int battery = 8;
    bool awake = true;
    bool acks = true;
    // An acknowledgement comes this long after its frame, at random within
    // the range, as a 2.4 GHz link answers; `latePercent` of them come only
    // after the program's 700 ms repeat interval, `duplicatePercent` come
    // twice, the second a few ms after the first.
    int ackDelayMinMs = 8;
    int ackDelayMaxMs = 25;
    int latePercent = 0;
    int duplicatePercent = 0;
    int lossPercent = 0;
    unsigned seed = 1;
    std::string bleBus;  // the D-Bus address to act as a BlueZ peer on
    bool bleConnected = true;
};

// "N" or "N-M": the acknowledgement delay, fixed or at random in the range.
void setAckDelay(Settings& s, const std::string& text) {
    const std::size_t dash = text.find('-');
    const int low = std::max(0, std::atoi(text.substr(0, dash).c_str()));
    const int high = dash == std::string::npos ? low : std::atoi(text.substr(dash + 1).c_str());
    s.ackDelayMinMs = low;
    s.ackDelayMaxMs = std::max(low, high);
}

class VirtualMouse {
  public:
    explicit VirtualMouse(Settings s) : s_(std::move(s)), random_(s_.seed) {}

    int run();

  private:
    struct PendingReport {
        Clock::time_point due;
        Device device;
        StatusPair status;
    };

    void onPacket(int fd, std::span<const std::uint8_t> p);
    void onFrame(int fd, Device device, std::span<const std::uint8_t> frame);
    void closeConnection(int fd);
    bool plugged(Device d) const { return d == Device::kCable ? s_.cable : s_.receiver; }
    void setPlugged(Device d, bool on);
    void sendReport(Device d, StatusPair status);
    void sendReportEverywhere(StatusPair status);
    void sendRawReport(std::span<const std::uint8_t> report);
    bool onBleFrame(std::span<const std::uint8_t> frame);
    std::string bleCommand(const std::string& arg, std::istringstream& in);
    std::string command(const std::string& line);
    void log(Json entry);
    int nextTimeoutMs() const;
    void runTimers();
    std::uint16_t heartbeatValue() const {
        return static_cast<std::uint16_t>((s_.battery & 0xFF) << 8 | (s_.awake ? 1 : 0));
    }

    Settings s_;
    std::mt19937 random_;
    DeviceModel model_;
    std::unique_ptr<BlePeer> ble_;
    int wireFd_ = -1;
    int controlFd_ = -1;
    bool stdinOpen_ = true;
    bool quit_ = false;
    std::map<int, Connection> wire_;
    std::map<int, std::string> control_;  // fd -> partial line
    std::vector<PendingReport> pending_;
    Clock::time_point nextHeartbeat_ = Clock::now();
    int refuseNext_ = 0;
    std::ofstream logFile_;
    Clock::time_point start_ = Clock::now();
};

void VirtualMouse::log(Json entry) {
    if (!logFile_.is_open()) {
        return;
    }
    Json line;
    line["ms"] =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
    for (auto& [k, v] : entry.items()) {
        line[k] = v;
    }
    logFile_ << line.dump() << '\n' << std::flush;
}

void VirtualMouse::setPlugged(Device d, bool on) {
    if (plugged(d) == on) {
        return;
    }
    (d == Device::kCable ? s_.cable : s_.receiver) = on;
    log({{"event", on ? "plug" : "unplug"}, {"device", name(d)}});
    std::vector<int> gone;
    for (auto& [fd, c] : wire_) {
        if (c.device != d) {
            continue;
        }
        if (c.role == Connection::Role::kMonitor) {
            const std::uint8_t state = on ? 1 : 0;
            const auto p = wire::packet(wire::kAttach, std::span(&state, 1));
            ::send(fd, p.data(), p.size(), MSG_NOSIGNAL);
        } else if (c.role == Connection::Role::kFeature && !on) {
            gone.push_back(fd);  // an unplugged device's channel breaks
        }
    }
    for (int fd : gone) {
        closeConnection(fd);
    }
    if (d == Device::kReceiver && on) {
        nextHeartbeat_ = Clock::now() + std::chrono::milliseconds(s_.heartbeatMs);
    }
    if (!on) {
        std::erase_if(pending_, [d](const PendingReport& p) { return p.device == d; });
    }
}

void VirtualMouse::sendReport(Device d, StatusPair status) {
    if (!plugged(d)) {
        return;
    }
    const auto report = encodeInputReport(status);
    const auto p = wire::packet(wire::kInput, report);
    for (const auto& [fd, c] : wire_) {
        if (c.role == Connection::Role::kMonitor && c.device == d) {
            ::send(fd, p.data(), p.size(), MSG_NOSIGNAL);
        }
    }
    log({{"dir", "out"}, {"device", name(d)}, {"code", status.code}, {"value", status.value}});
}

void VirtualMouse::sendReportEverywhere(StatusPair status) {
    sendReport(Device::kCable, status);
    sendReport(Device::kReceiver, status);
    if (ble_) {
        const std::array<std::uint8_t, 4> value = {static_cast<std::uint8_t>(status.code & 0xFF),
                                                   static_cast<std::uint8_t>(status.code >> 8),
                                                   static_cast<std::uint8_t>(status.value & 0xFF),
                                                   static_cast<std::uint8_t>(status.value >> 8)};
        if (ble_->notify(value)) {
            log({{"dir", "out"},
                 {"device", "ble"},
                 {"code", status.code},
                 {"value", status.value}});
        }
    }
}

bool VirtualMouse::onBleFrame(std::span<const std::uint8_t> frame) {
    Verdict v;
    if (refuseNext_ > 0) {
        --refuseNext_;
        v = {false, "refused on command", false};
    } else if (!frame.empty() && frame[report::kId] == report::kPolling) {
        v = {false, "polling frame over Bluetooth LE", false};
    } else {
        v = model_.receive(frame, false);
    }
    Json entry = {
        {"dir", "in"}, {"device", "ble"}, {"frame", hexText(frame)}, {"accepted", v.accepted}};
    if (!v.accepted) {
        entry["reason"] = v.reason;
    }
    log(entry);
    return v.accepted;
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

void VirtualMouse::sendRawReport(std::span<const std::uint8_t> report) {
    const auto p = wire::packet(wire::kInput, report);
    for (const auto& [fd, c] : wire_) {
        if (c.role == Connection::Role::kMonitor && plugged(c.device)) {
            ::send(fd, p.data(), p.size(), MSG_NOSIGNAL);
        }
    }
    log({{"dir", "out"}, {"raw", hexText(report)}});
}

void VirtualMouse::closeConnection(int fd) {
    ::close(fd);
    wire_.erase(fd);
}

void VirtualMouse::onFrame(int fd, Device device, std::span<const std::uint8_t> frame) {
    Verdict v;
    if (refuseNext_ > 0) {
        --refuseNext_;
        v = {false, "refused on command", false};
    } else {
        v = model_.receive(frame, device == Device::kCable);
    }
    Json entry = {{"dir", "in"},
                  {"device", name(device)},
                  {"frame", hexText(frame)},
                  {"accepted", v.accepted}};
    if (!v.accepted) {
        entry["reason"] = v.reason;
    }
    log(entry);

    std::uint8_t result = v.accepted ? 1 : 0;
    if (device == Device::kReceiver) {
        result = 1;  // the receiver took the transfer; the mouse answers by report
        const auto chance = [this](int percent) {
            return percent > 0 && std::uniform_int_distribution<int>(0, 99)(random_) < percent;
        };
        if (s_.acks && !chance(s_.lossPercent) && !v.partial) {
            int delay =
                std::uniform_int_distribution<int>(s_.ackDelayMinMs, s_.ackDelayMaxMs)(random_);
            if (chance(s_.latePercent)) {
                delay += kLateAckMs;
            }
            const StatusPair ack{status::kAck, static_cast<std::uint16_t>(v.accepted ? 0 : 1)};
            const auto due = Clock::now() + std::chrono::milliseconds(delay);
            pending_.push_back({due, Device::kReceiver, ack});
            if (chance(s_.duplicatePercent)) {
                const int gap = std::uniform_int_distribution<int>(1, kDuplicateGapMaxMs)(random_);
                pending_.push_back({due + std::chrono::milliseconds(gap), Device::kReceiver, ack});
            }
        }
    }
    const auto reply = wire::packet(wire::kResult, std::span(&result, 1));
    ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
}

void VirtualMouse::onPacket(int fd, std::span<const std::uint8_t> p) {
    Connection& c = wire_[fd];
    if (c.role == Connection::Role::kFeature) {
        if (p[0] == wire::kFeature && p.size() > 1) {
            onFrame(fd, c.device, p.subspan(1));
        } else {
            closeConnection(fd);
        }
        return;
    }
    const auto id = wire::parseDevice(p);
    const auto device = id ? deviceOf(*id) : std::nullopt;
    if (c.role != Connection::Role::kUnknown || !device) {
        closeConnection(fd);
        return;
    }
    c.device = *device;
    if (p[0] == wire::kMonitor) {
        c.role = Connection::Role::kMonitor;
    } else if (p[0] == wire::kOpen) {
        const std::uint8_t present = plugged(*device) ? 1 : 0;
        const auto reply = wire::packet(wire::kResult, std::span(&present, 1));
        ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
        if (present != 0) {
            c.role = Connection::Role::kFeature;
        } else {
            closeConnection(fd);
        }
    } else {
        closeConnection(fd);
    }
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

int VirtualMouse::nextTimeoutMs() const {
    auto next = Clock::now() + std::chrono::milliseconds(200);
    if (s_.receiver && s_.heartbeat) {
        next = std::min(next, nextHeartbeat_);
    }
    for (const PendingReport& p : pending_) {
        next = std::min(next, p.due);
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
    return static_cast<int>(std::max<long>(0, ms));
}

void VirtualMouse::runTimers() {
    const auto now = Clock::now();
    if (s_.receiver && s_.heartbeat && now >= nextHeartbeat_) {
        nextHeartbeat_ = now + std::chrono::milliseconds(s_.heartbeatMs);
        sendReport(Device::kReceiver, {status::kHeartbeat, heartbeatValue()});
    }
    std::vector<PendingReport> due;
    std::erase_if(pending_, [&](const PendingReport& p) {
        if (p.due <= now) {
            due.push_back(p);
            return true;
        }
        return false;
    });
    for (const PendingReport& p : due) {
        sendReport(p.device, p.status);
    }
}

int VirtualMouse::run() {
    if (!s_.logPath.empty()) {
        logFile_.open(s_.logPath, std::ios::app);
    }
    wireFd_ = listenOn(s_.socketPath, SOCK_SEQPACKET);
    if (wireFd_ < 0) {
        std::cerr << "tvq-virtual-mouse: cannot listen on " << s_.socketPath << '\n';
        return 2;
    }
    if (!s_.controlPath.empty()) {
        controlFd_ = listenOn(s_.controlPath, SOCK_STREAM);
        if (controlFd_ < 0) {
            std::cerr << "tvq-virtual-mouse: cannot listen on " << s_.controlPath << '\n';
            return 2;
        }
    }
    if (!s_.bleBus.empty()) {
        ble_ = std::make_unique<BlePeer>(
            s_.bleBus, [this](std::span<const std::uint8_t> f) { return onBleFrame(f); });
        const std::string error = ble_->start(s_.bleConnected);
        if (!error.empty()) {
            std::cerr << "tvq-virtual-mouse: Bluetooth LE: " << error << '\n';
            return 2;
        }
    }
    log({{"event", "start"}, {"cable", s_.cable}, {"receiver", s_.receiver}, {"ble", !!ble_}});
    std::cout << "ready" << std::endl;

    std::string stdinLine;
    while (!quit_) {
        std::vector<pollfd> fds = {{wireFd_, POLLIN, 0}};
        if (controlFd_ >= 0) {
            fds.push_back({controlFd_, POLLIN, 0});
        }
        if (stdinOpen_) {
            fds.push_back({STDIN_FILENO, POLLIN, 0});
        }
        for (const auto& [fd, c] : wire_) {
            fds.push_back({fd, POLLIN, 0});
        }
        for (const auto& [fd, partial] : control_) {
            fds.push_back({fd, POLLIN, 0});
        }
        int timeout = nextTimeoutMs();
        if (ble_ && ble_->events() != 0) {
            fds.push_back({ble_->fd(), ble_->events(), 0});
            const int bleTimeout = ble_->timeoutMs();
            if (bleTimeout >= 0) {
                timeout = std::min(timeout, bleTimeout);
            }
        }
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
            break;
        }
        runTimers();
        if (ble_) {
            ble_->process();
        }
        for (const pollfd& p : fds) {
            if (p.revents == 0 || (ble_ && p.fd == ble_->fd())) {
                continue;
            }
            if (p.fd == wireFd_ || p.fd == controlFd_) {
                const int client = ::accept4(p.fd, nullptr, nullptr, SOCK_CLOEXEC);
                if (client >= 0) {
                    if (p.fd == wireFd_) {
                        wire_[client] = {};
                    } else {
                        control_[client] = {};
                    }
                }
            } else if (p.fd == STDIN_FILENO) {
                char buffer[512];
                const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
                if (n <= 0) {
                    stdinOpen_ = false;  // keep running without a console
                    continue;
                }
                stdinLine.append(buffer, static_cast<std::size_t>(n));
                for (std::size_t nl; (nl = stdinLine.find('\n')) != std::string::npos;) {
                    const std::string reply = command(stdinLine.substr(0, nl));
                    stdinLine.erase(0, nl + 1);
                    if (!reply.empty()) {
                        std::cout << reply << std::endl;
                    }
                }
            } else if (wire_.contains(p.fd)) {
                std::uint8_t buffer[wire::kMaxPacket];
                const ssize_t n = ::recv(p.fd, buffer, sizeof buffer, 0);
                if (n <= 0) {
                    closeConnection(p.fd);
                } else {
                    onPacket(p.fd, std::span(buffer, static_cast<std::size_t>(n)));
                }
            } else if (control_.contains(p.fd)) {
                char buffer[512];
                const ssize_t n = ::recv(p.fd, buffer, sizeof buffer, 0);
                if (n <= 0) {
                    ::close(p.fd);
                    control_.erase(p.fd);
                    continue;
                }
                std::string& partial = control_[p.fd];
                partial.append(buffer, static_cast<std::size_t>(n));
                for (std::size_t nl; (nl = partial.find('\n')) != std::string::npos;) {
                    const std::string reply = command(partial.substr(0, nl)) + "\n";
                    partial.erase(0, nl + 1);
                    ::send(p.fd, reply.data(), reply.size(), MSG_NOSIGNAL);
                }
            }
        }
    }
    for (const auto& [fd, c] : wire_) {
        ::close(fd);
    }
    ::unlink(s_.socketPath.c_str());
    if (!s_.controlPath.empty()) {
        ::unlink(s_.controlPath.c_str());
    }
    log({{"event", "stop"}});
    return 0;
}

}  // namespace

static int runVirtualMouse(int argc, char** argv) {
    Settings s;
    if (const char* env = std::getenv(paths::kVirtualMouseEnvironment)) {
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

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return runVirtualMouse(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "tvq-virtual-mouse: " << e.what() << '\n';
        return 2;
    }
}
