// The device-access library: the mouse's cable or receiver as a HID device.
//
// Built twice, as hiddriver_1.so (receiver) and hiddriver_2.so (cable); each
// loaded file has its own copy of the state below. Two backends sit behind
// the same entry points:
//   - hidapi (hidraw) for real hardware;
//   - tvq-virtual-mouse, when TVQ_VIRTUAL_MOUSE names its socket.
// See include/tvq/hiddriver.h for the contract of each entry point and
// docs/device-link.md for the reports.

#include <hidapi/hidapi.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/debug.h"
#include "device/device_ids.h"
#include "device/input_report.h"
#include "device/virtual_wire.h"
#include "tvq/hiddriver.h"

#define TVQ_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace std::chrono_literals;

constexpr auto kEnumeratePeriod = 500ms;
constexpr auto kMonitorTick = 20ms;
constexpr int kReplyTimeoutMs = 3000;
// Feature reports shorter than this are padded with zeros: the interrupt
// and control endpoints of full-speed HID devices carry 64-byte reports.
constexpr std::size_t kMinFeatureReport = 64;

const char* virtualSocket() {
    const char* path = std::getenv(tvq::paths::kVirtualMouseEnvironment);
    return path != nullptr && path[0] != '\0' ? path : nullptr;
}

// ---------------------------------------------------------------------------
// Virtual mouse: one sequenced-packet connection per channel.

class Socket {
  public:
    explicit Socket(int fd = -1) : fd_(fd) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Socket& operator=(Socket&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = other.fd_;
            other.fd_ = -1;
        }
        return *this;
    }
    ~Socket() { reset(); }

    static Socket connectTo(const char* path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (std::strlen(path) >= sizeof address.sun_path) {
            return Socket();
        }
        std::strcpy(address.sun_path, path);
        Socket s(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
        if (s.fd_ >= 0 &&
            ::connect(s.fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            s.reset();
        }
        return s;
    }

    int fd() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
    }

    bool send(const std::vector<std::uint8_t>& packet) const {
        return valid() && ::send(fd_, packet.data(), packet.size(), MSG_NOSIGNAL) ==
                              static_cast<ssize_t>(packet.size());
    }

    // One packet, waiting at most `timeoutMs`; empty on timeout, close or error.
    std::vector<std::uint8_t> receive(int timeoutMs) const {
        pollfd p{fd_, POLLIN, 0};
        if (!valid() || ::poll(&p, 1, timeoutMs) <= 0) {
            return {};
        }
        std::vector<std::uint8_t> buffer(tvq::wire::kMaxPacket);
        const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
        buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return buffer;
    }

  private:
    int fd_;
};

// ---------------------------------------------------------------------------
// The feature channel. Close may meet a write on another thread: the write
// holds the channel's lock, close first wakes a write that waits for the
// virtual mouse's answer and then takes the lock.

class Channel {
  public:
    virtual ~Channel() = default;
    virtual std::int32_t write(const std::uint8_t* frame, std::int32_t length) = 0;
    virtual void close() = 0;
};

class VirtualChannel final : public Channel {
  public:
    explicit VirtualChannel(Socket socket) : socket_(std::move(socket)) {}

    std::int32_t write(const std::uint8_t* frame, std::int32_t length) override {
        std::lock_guard lock(mutex_);
        if (closed_ ||
            !socket_.send(tvq::wire::packet(tvq::wire::kFeature,
                                            std::span(frame, static_cast<std::size_t>(length))))) {
            return 0;
        }
        const auto reply = socket_.receive(kReplyTimeoutMs);
        return reply.size() == 2 && reply[0] == tvq::wire::kResult && reply[1] != 0 ? 1 : 0;
    }

    void close() override {
        if (socket_.valid()) {
            ::shutdown(socket_.fd(), SHUT_RDWR);  // wakes a write waiting for its answer
        }
        std::lock_guard lock(mutex_);
        closed_ = true;
        socket_.reset();
    }

  private:
    std::mutex mutex_;
    bool closed_ = false;
    Socket socket_;
};

class HidChannel final : public Channel {
  public:
    explicit HidChannel(hid_device* device) : device_(device) {}
    ~HidChannel() override { close(); }

    std::int32_t write(const std::uint8_t* frame, std::int32_t length) override {
        std::lock_guard lock(mutex_);
        if (device_ == nullptr) {
            return 0;
        }
        std::vector<std::uint8_t> report(frame, frame + length);
        if (report.size() < kMinFeatureReport) {
            report.resize(kMinFeatureReport, 0);
        }
        return hid_send_feature_report(device_, report.data(), report.size()) > 0 ? 1 : 0;
    }

    void close() override {
        std::lock_guard lock(mutex_);
        if (device_ != nullptr) {
            hid_close(device_);
            device_ = nullptr;
        }
    }

  private:
    std::mutex mutex_;
    hid_device* device_;
};

// ---------------------------------------------------------------------------
// The monitor: a thread that learns of arrival and removal and turns the
// device's input reports into data messages.

struct MonitorTarget {
    MessageWindow* window = nullptr;
    std::uint32_t dataMessage = 0;
    std::uint32_t attachMessage = 0;
    std::int32_t vid = 0;
    std::int32_t pid = 0;

    void postAttach(bool arrived) const { window->post(window, attachMessage, arrived ? 1 : 0, 0); }
    void postReport(std::span<const std::uint8_t> report) const {
        if (const auto status = tvq::decodeInputReport(report)) {
            window->post(window, dataMessage, status->code, status->value);
        }
    }
};

void watchVirtual(const MonitorTarget& target, const char* path, const std::atomic<bool>& stop) {
    Socket socket;
    while (!stop.load()) {
        if (!socket.valid()) {
            socket = Socket::connectTo(path);
            if (!socket.valid() || !socket.send(tvq::wire::devicePacket(tvq::wire::kMonitor,
                                                                        target.vid, target.pid))) {
                socket.reset();
                std::this_thread::sleep_for(kEnumeratePeriod);
                continue;
            }
        }
        pollfd p{socket.fd(), POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(kMonitorTick.count()));
        if (ready <= 0) {
            continue;
        }
        const auto packet = socket.receive(0);
        if (packet.empty()) {
            socket.reset();  // the virtual mouse went away; try again later
            continue;
        }
        if (packet[0] == tvq::wire::kAttach && packet.size() == 2) {
            target.postAttach(packet[1] != 0);
        } else if (packet[0] == tvq::wire::kInput) {
            target.postReport(std::span(packet).subspan(1));
        }
    }
}

// hidapi's enumeration, opening and set-up replace one global error string:
// this copy's monitor, feature channel and set-up take turns.
std::mutex& hidapiMutex() {
    static std::mutex mutex;
    return mutex;
}

hid_device* openHidPath(const std::string& path) {
    std::lock_guard lock(hidapiMutex());
    return hid_open_path(path.c_str());
}

std::vector<std::string> hidPaths(std::int32_t vid, std::int32_t pid) {
    std::vector<std::string> paths;
    std::lock_guard lock(hidapiMutex());
    hid_device_info* list =
        hid_enumerate(static_cast<unsigned short>(vid), static_cast<unsigned short>(pid));
    for (hid_device_info* d = list; d != nullptr; d = d->next) {
        if (d->path != nullptr) {
            paths.emplace_back(d->path);
        }
    }
    hid_free_enumeration(list);
    return paths;
}

void watchHid(const MonitorTarget& target, const std::atomic<bool>& stop) {
    std::map<std::string, hid_device*> open;
    bool present = !hidPaths(target.vid, target.pid).empty();
    auto lastScan = std::chrono::steady_clock::now();
    std::uint8_t buffer[64];
    while (!stop.load()) {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastScan >= kEnumeratePeriod || (present && open.empty())) {
            lastScan = now;
            const auto paths = hidPaths(target.vid, target.pid);
            if (!paths.empty() != present) {
                present = !paths.empty();
                target.postAttach(present);
            }
            for (const std::string& path : paths) {
                if (!open.contains(path)) {
                    if (hid_device* d = openHidPath(path)) {
                        hid_set_nonblocking(d, 1);
                        open[path] = d;
                    }
                }
            }
        }
        for (auto it = open.begin(); it != open.end();) {
            const int n = hid_read(it->second, buffer, sizeof buffer);
            if (n < 0) {  // unplugged
                hid_close(it->second);
                it = open.erase(it);
                continue;
            }
            if (n > 0) {
                target.postReport(std::span(buffer, static_cast<std::size_t>(n)));
            }
            ++it;
        }
        std::this_thread::sleep_for(kMonitorTick);
    }
    for (auto& [path, device] : open) {
        hid_close(device);
    }
}

// ---------------------------------------------------------------------------
// This copy's state.

struct Library {
    std::mutex mutex;
    std::int32_t vid = 0;
    std::int32_t pid = 0;
    std::shared_ptr<Channel> channel;
    std::thread monitor;
    std::atomic<bool> stopMonitor{false};

    // A program that unloads the library without closing the monitor must
    // not leave a thread running code that is about to go away.
    ~Library() {
        stopMonitor = true;
        if (monitor.joinable()) {
            monitor.join();
        }
    }
};

Library& library() {
    static Library instance;
    return instance;
}

void stopMonitor(Library& lib) {
    lib.stopMonitor = true;
    if (lib.monitor.joinable()) {
        lib.monitor.join();
    }
    lib.stopMonitor = false;
}

bool hidReady() {
    static const bool ready = [] {
        std::lock_guard lock(hidapiMutex());
        return hid_init() == 0;
    }();
    return ready;
}

}  // namespace

TVQ_EXPORT void Set_VIDPID(int32_t vendorId, int32_t productId) {
    Library& lib = library();
    std::lock_guard lock(lib.mutex);
    lib.vid = vendorId;
    lib.pid = productId;
}

TVQ_EXPORT void Open_DevMonitor(MessageWindow* window, uint32_t dataMessage,
                                uint32_t attachMessage) {
    Library& lib = library();
    std::lock_guard lock(lib.mutex);
    stopMonitor(lib);
    if (window == nullptr || window->post == nullptr) {
        return;
    }
    const MonitorTarget target{window, dataMessage, attachMessage, lib.vid, lib.pid};
    const char* path = virtualSocket();
    if (path != nullptr) {
        lib.monitor = std::thread([target, socketPath = std::string(path), &lib] {
            watchVirtual(target, socketPath.c_str(), lib.stopMonitor);
        });
    } else if (hidReady()) {
        lib.monitor = std::thread([target, &lib] { watchHid(target, lib.stopMonitor); });
    }
}

TVQ_EXPORT void Close_DevMonitor(void) {
    Library& lib = library();
    std::lock_guard lock(lib.mutex);
    stopMonitor(lib);
}

TVQ_EXPORT int32_t Open_FeatureDevice(void) {
    Library& lib = library();
    std::shared_ptr<Channel> previous;
    std::shared_ptr<Channel> opened;
    std::int32_t vid = 0, pid = 0;
    {
        std::lock_guard lock(lib.mutex);
        previous = std::move(lib.channel);
        vid = lib.vid;
        pid = lib.pid;
    }
    if (previous) {
        previous->close();
    }
    if (const char* path = virtualSocket()) {
        Socket socket = Socket::connectTo(path);
        if (socket.send(tvq::wire::devicePacket(tvq::wire::kOpen, vid, pid))) {
            const auto reply = socket.receive(kReplyTimeoutMs);
            if (reply.size() == 2 && reply[0] == tvq::wire::kResult && reply[1] != 0) {
                opened = std::make_shared<VirtualChannel>(std::move(socket));
            }
        }
    } else if (hidReady()) {
        const auto paths = hidPaths(vid, pid);
        for (const std::string& p : paths) {
            if (hid_device* device = openHidPath(p)) {
                opened = std::make_shared<HidChannel>(device);
                break;
            }
        }
    }
    std::lock_guard lock(lib.mutex);
    lib.channel = opened;
    tvq::debug::write(opened ? "feature channel open\n" : "feature channel: no device\n");
    return opened ? 1 : 0;
}

TVQ_EXPORT void Close_FeatureDevice(void) {
    Library& lib = library();
    std::shared_ptr<Channel> channel;
    {
        std::lock_guard lock(lib.mutex);
        channel = std::move(lib.channel);
    }
    if (channel) {
        channel->close();
    }
}

TVQ_EXPORT int32_t SetFeature(const uint8_t* frame, int32_t length) {
    if (frame == nullptr || length <= 0 ||
        length > static_cast<int32_t>(tvq::wire::kMaxPacket) - 1) {
        return 0;
    }
    std::shared_ptr<Channel> channel;
    {
        Library& lib = library();
        std::lock_guard lock(lib.mutex);
        channel = lib.channel;
    }
    return channel ? channel->write(frame, length) : 0;
}

TVQ_EXPORT int32_t GetFeature(uint8_t* buffer, int32_t length) {
    (void)buffer;
    (void)length;
    return 0;  // the mouse pushes its state; nothing is read back
}
