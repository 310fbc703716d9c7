// The device-access library: the mouse's cable or receiver as a HID device.
//
// Built twice, as hiddriver_1.so (receiver) and hiddriver_2.so (cable); each
// loaded file has its own copy of the state below. Two backends sit behind
// the same entry points:
//   - hidapi (hidraw) for real hardware;
//   - tvq-virtual-mouse, when TVQ_VIRTUAL_MOUSE names its socket.
// See include/tvq/hiddriver.h for the contract of each entry point and
// docs/device-link.md for the reports.

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
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

// How often the monitor looks again for a device it cannot watch through
// events: the virtual mouse's socket while it is away, and hidraw nodes
// where there is no udev to announce them.
constexpr int kRetryMs = 500;
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

// Waits until one of `fds` is readable, the monitor is woken (`wake`), or
// `timeoutMs` passed (-1: no timeout). False when woken.
bool waitFor(std::vector<pollfd>& fds, int wake, int timeoutMs) {
    fds.push_back({wake, POLLIN, 0});
    const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    const bool woken = ready > 0 && (fds.back().revents & POLLIN) != 0;
    fds.pop_back();
    return !woken;
}

void watchVirtual(const MonitorTarget& target, const char* path, int wake) {
    Socket socket;
    for (;;) {
        std::vector<pollfd> fds;
        if (!socket.valid()) {
            socket = Socket::connectTo(path);
            if (!socket.valid() || !socket.send(tvq::wire::devicePacket(tvq::wire::kMonitor,
                                                                        target.vid, target.pid))) {
                socket.reset();
                if (!waitFor(fds, wake, kRetryMs)) {
                    return;
                }
                continue;
            }
        }
        fds.push_back({socket.fd(), POLLIN, 0});
        if (!waitFor(fds, wake, -1)) {
            return;
        }
        if (fds[0].revents == 0) {
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

// udev's announcements of hidraw nodes coming and going; without udev the
// monitor looks again every kRetryMs.
class HidrawEvents {
  public:
    HidrawEvents() {
        udev_ = udev_new();
        monitor_ = udev_ != nullptr ? udev_monitor_new_from_netlink(udev_, "udev") : nullptr;
        if (monitor_ != nullptr &&
            (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
             udev_monitor_enable_receiving(monitor_) < 0)) {
            udev_monitor_unref(monitor_);
            monitor_ = nullptr;
        }
    }
    ~HidrawEvents() {
        if (monitor_ != nullptr) {
            udev_monitor_unref(monitor_);
        }
        if (udev_ != nullptr) {
            udev_unref(udev_);
        }
    }
    HidrawEvents(const HidrawEvents&) = delete;
    HidrawEvents& operator=(const HidrawEvents&) = delete;

    int fd() const { return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1; }
    // Takes the announcements that are waiting.
    void drain() {
        while (monitor_ != nullptr) {
            udev_device* device = udev_monitor_receive_device(monitor_);
            if (device == nullptr) {
                break;
            }
            udev_device_unref(device);
        }
    }

  private:
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};

// Input reports are read from the hidraw nodes directly, so that the monitor
// can sleep in poll until one arrives (hidapi offers no descriptor).
void watchHid(const MonitorTarget& target, int wake) {
    HidrawEvents events;
    std::map<std::string, int> open;  // hidraw path -> descriptor
    bool present = false;
    bool first = true;
    bool rescan = true;
    std::uint8_t buffer[64];
    for (;;) {
        if (rescan) {
            rescan = false;
            const auto paths = hidPaths(target.vid, target.pid);
            if (!paths.empty() != present || (first && !paths.empty())) {
                present = !paths.empty();
                if (!first) {
                    target.postAttach(present);
                }
            }
            first = false;
            for (const std::string& path : paths) {
                if (!open.contains(path)) {
                    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
                    if (fd >= 0) {
                        open[path] = fd;
                    }
                }
            }
        }
        std::vector<pollfd> fds;
        for (const auto& [path, fd] : open) {
            fds.push_back({fd, POLLIN, 0});
        }
        if (events.fd() >= 0) {
            fds.push_back({events.fd(), POLLIN, 0});
        }
        const int timeout = events.fd() >= 0 && !(present && open.empty()) ? -1 : kRetryMs;
        if (!waitFor(fds, wake, timeout)) {
            break;
        }
        if (events.fd() >= 0 && (fds.back().revents & POLLIN) != 0) {
            events.drain();
            rescan = true;
        }
        if (events.fd() < 0 || (present && open.empty())) {
            rescan = true;  // no events to wait for: look again
        }
        for (const pollfd& p : fds) {
            const auto it = std::find_if(open.begin(), open.end(),
                                         [&p](const auto& entry) { return entry.second == p.fd; });
            if (it == open.end() || p.revents == 0) {
                continue;
            }
            const ssize_t n = ::read(p.fd, buffer, sizeof buffer);
            if (n > 0) {
                target.postReport(std::span(buffer, static_cast<std::size_t>(n)));
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {  // unplugged
                ::close(it->second);
                open.erase(it);
                rescan = true;
            }
        }
    }
    for (const auto& [path, fd] : open) {
        ::close(fd);
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
    int wake = -1;  // an eventfd that ends the monitor's wait

    // A program that unloads the library without closing the monitor must
    // not leave a thread running code that is about to go away.
    ~Library();
};

Library& library() {
    static Library instance;
    return instance;
}

void stopMonitor(Library& lib) {
    if (lib.monitor.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(lib.wake, &one, sizeof one);
        lib.monitor.join();
    }
    if (lib.wake >= 0) {
        ::close(lib.wake);
        lib.wake = -1;
    }
}

Library::~Library() {
    stopMonitor(*this);
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
    lib.wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (lib.wake < 0) {
        return;
    }
    const char* path = virtualSocket();
    if (path != nullptr) {
        lib.monitor = std::thread([target, socketPath = std::string(path), wake = lib.wake] {
            watchVirtual(target, socketPath.c_str(), wake);
        });
    } else if (hidReady()) {
        lib.monitor = std::thread([target, wake = lib.wake] { watchHid(target, wake); });
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
