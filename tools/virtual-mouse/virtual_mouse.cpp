#include "virtual_mouse.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>

#include "device/device_ids.h"
#include "device/input_report.h"
#include "device/virtual_wire.h"
#include "protocol/report_layout.h"

namespace tvq::virtualmouse {
namespace {

// A late acknowledgement comes this much after the frame's own delay: after
// the program's repeat interval of 700 ms.
constexpr int kLateAckMs = 760;
// A repeated acknowledgement follows the first within this many ms.
constexpr int kDuplicateGapMaxMs = 5;

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

}  // namespace

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

}  // namespace tvq::virtualmouse
