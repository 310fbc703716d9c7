// The virtual mouse as a BlueZ peer on a D-Bus bus: an object manager, an
// adapter, the mouse's Device1 (Address, Connected, Modalias), a GATT service
// with two write characteristics (0xFEE3) and one notify characteristic
// (0xFEE4). Frames come by WriteValue; status reports leave as changes of the
// notify characteristic's Value. Driven from the virtual mouse's poll loop.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct sd_bus;
struct sd_bus_slot;

namespace tvq::virtualmouse {

class BlePeer {
  public:
    // Takes a frame; true when the mouse accepted it.
    using FrameHandler = std::function<bool(std::span<const std::uint8_t> frame)>;

    BlePeer(std::string busAddress, FrameHandler onFrame);
    ~BlePeer();
    BlePeer(const BlePeer&) = delete;
    BlePeer& operator=(const BlePeer&) = delete;

    // Connects to the bus and takes the name "org.bluez"; an error text on
    // failure.
    std::string start(bool connected);

    // The poll loop's side: the descriptor, its events, the next timeout in
    // milliseconds (-1 for none) and the work after poll.
    int fd() const;
    short events() const;
    int timeoutMs() const;
    void process();

    void setConnected(bool connected);
    bool connected() const { return connected_; }
    // The device object appears on or vanishes from the bus.
    void setPresent(bool present);
    bool present() const { return present_; }
    void setRefuseFirst(bool refuse) { refuseFirst_ = refuse; }
    // A frozen peer takes messages but answers none of them.
    void setFrozen(bool frozen) { frozen_ = frozen; }
    bool frozen() const { return frozen_; }
    bool notifying() const { return notifying_; }

    // Sends `value` as a notification when connected and subscribed.
    bool notify(std::span<const std::uint8_t> value);

    int writes() const { return writes_; }

    static constexpr const char* kAddress = "C0:FF:EE:27:0B:1E";

  private:
    void addDeviceObjects();
    void removeDeviceObjects();
    void flush();

    std::string address_;
    FrameHandler onFrame_;
    sd_bus* bus_ = nullptr;
    std::vector<sd_bus_slot*> deviceSlots_;
    std::vector<sd_bus_slot*> fixedSlots_;
    bool connected_ = false;
    bool present_ = true;
    bool refuseFirst_ = false;
    bool frozen_ = false;
    bool notifying_ = false;
    std::vector<std::uint8_t> value_;
    int writes_ = 0;

    friend struct BlePeerCallbacks;
};

}  // namespace tvq::virtualmouse
