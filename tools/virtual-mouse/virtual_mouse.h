// The virtual mouse: its settings, and the process that serves the
// device-access library's socket, the Bluetooth LE peer and the console.
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ble_peer.h"
#include "device/input_report.h"
#include "device_model.h"
#include "protocol/status_codes.h"

namespace tvq::virtualmouse {

using Clock = std::chrono::steady_clock;
using Json = nlohmann::ordered_json;

// The console's commands, as "help" lists them.
extern const char* const kHelp;

enum class Device { kCable, kReceiver };

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
void setAckDelay(Settings& s, const std::string& text);

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

}  // namespace tvq::virtualmouse
