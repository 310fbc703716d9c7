#include "ble_peer.h"

#include <poll.h>
#include <systemd/sd-bus.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace tvq::virtualmouse {
namespace {

constexpr const char* kService = "org.bluez";
constexpr const char* kAdapterPath = "/org/bluez/hci0";
constexpr const char* kDevicePath = "/org/bluez/hci0/dev_C0_FF_EE_27_0B_1E";
constexpr const char* kGattPath = "/org/bluez/hci0/dev_C0_FF_EE_27_0B_1E/service0010";
constexpr const char* kAdapterInterface = "org.bluez.Adapter1";
constexpr const char* kDeviceInterface = "org.bluez.Device1";
constexpr const char* kServiceInterface = "org.bluez.GattService1";
constexpr const char* kCharInterface = "org.bluez.GattCharacteristic1";
constexpr const char* kModalias = "usb:v045Ep0040d0001";
constexpr const char* kServiceUuid = "0000fee0-0000-1000-8000-00805f9b34fb";
constexpr const char* kWriteUuid = "0000fee3-0000-1000-8000-00805f9b34fb";
constexpr const char* kNotifyUuid = "0000fee4-0000-1000-8000-00805f9b34fb";

// The three characteristics: two that take frames, one that notifies.
struct Characteristic {
    const char* path;
    const char* uuid;
    const char* flag;
    bool first;  // the one that can be told to refuse
};
constexpr std::array<Characteristic, 3> kCharacteristics = {{
    {"/org/bluez/hci0/dev_C0_FF_EE_27_0B_1E/service0010/char0011", kWriteUuid, "write", true},
    {"/org/bluez/hci0/dev_C0_FF_EE_27_0B_1E/service0010/char0013", kNotifyUuid, "notify", false},
    {"/org/bluez/hci0/dev_C0_FF_EE_27_0B_1E/service0010/char0015", kWriteUuid, "write", false},
}};

}  // namespace

// The bus callbacks, with access to the peer.
struct BlePeerCallbacks {
    struct CharacteristicData {
        BlePeer* peer;
        const Characteristic* c;
    };

    static BlePeer* peer(void* userdata) { return static_cast<BlePeer*>(userdata); }

    static int string(sd_bus_message* reply, const char* text) {
        return sd_bus_message_append(reply, "s", text);
    }

    // Adapter1
    static int adapterAddress(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                              void*, sd_bus_error*) {
        return string(r, "00:1A:7D:DA:71:13");
    }
    static int adapterPowered(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                              void*, sd_bus_error*) {
        return sd_bus_message_append(r, "b", 1);
    }

    // Device1
    static int deviceAddress(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                             void*, sd_bus_error*) {
        return string(r, BlePeer::kAddress);
    }
    static int deviceName(sd_bus*, const char*, const char*, const char*, sd_bus_message* r, void*,
                          sd_bus_error*) {
        return string(r, "TVQ-R270");
    }
    static int deviceModalias(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                              void*, sd_bus_error*) {
        return string(r, kModalias);
    }
    static int deviceAdapter(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                             void*, sd_bus_error*) {
        return sd_bus_message_append(r, "o", kAdapterPath);
    }
    static int deviceConnected(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                               void* userdata, sd_bus_error*) {
        return sd_bus_message_append(r, "b", peer(userdata)->connected_ ? 1 : 0);
    }

    // GattService1
    static int serviceUuid(sd_bus*, const char*, const char*, const char*, sd_bus_message* r, void*,
                           sd_bus_error*) {
        return string(r, kServiceUuid);
    }
    static int servicePrimary(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                              void*, sd_bus_error*) {
        return sd_bus_message_append(r, "b", 1);
    }
    static int serviceDevice(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                             void*, sd_bus_error*) {
        return sd_bus_message_append(r, "o", kDevicePath);
    }

    // GattCharacteristic1
    static const Characteristic& of(void* userdata) {
        return *static_cast<CharacteristicData*>(userdata)->c;
    }
    static int charUuid(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                        void* userdata, sd_bus_error*) {
        return string(r, of(userdata).uuid);
    }
    static int charService(sd_bus*, const char*, const char*, const char*, sd_bus_message* r, void*,
                           sd_bus_error*) {
        return sd_bus_message_append(r, "o", kGattPath);
    }
    static int charFlags(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                         void* userdata, sd_bus_error*) {
        return sd_bus_message_append(r, "as", 1, of(userdata).flag);
    }
    static int charValue(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                         void* userdata, sd_bus_error*) {
        const auto* data = static_cast<CharacteristicData*>(userdata);
        const auto& v = std::strcmp(data->c->uuid, kNotifyUuid) == 0 ? data->peer->value_
                                                                     : std::vector<std::uint8_t>{};
        return sd_bus_message_append_array(r, 'y', v.data(), v.size());
    }
    static int charNotifying(sd_bus*, const char*, const char*, const char*, sd_bus_message* r,
                             void* userdata, sd_bus_error*) {
        const auto* data = static_cast<CharacteristicData*>(userdata);
        return sd_bus_message_append(
            r, "b", std::strcmp(data->c->uuid, kNotifyUuid) == 0 && data->peer->notifying_ ? 1 : 0);
    }

    static int writeValue(sd_bus_message* m, void* userdata, sd_bus_error*) {
        const auto* data = static_cast<CharacteristicData*>(userdata);
        BlePeer& self = *data->peer;
        if (std::strcmp(data->c->uuid, kWriteUuid) != 0) {
            return sd_bus_reply_method_errorf(m, "org.bluez.Error.NotSupported",
                                              "write not supported");
        }
        const void* bytes = nullptr;
        std::size_t size = 0;
        if (sd_bus_message_read_array(m, 'y', &bytes, &size) < 0) {
            return sd_bus_reply_method_errorf(m, "org.bluez.Error.InvalidArguments", "no value");
        }
        if (!self.connected_) {
            return sd_bus_reply_method_errorf(m, "org.bluez.Error.NotConnected", "not connected");
        }
        if (data->c->first && self.refuseFirst_) {
            return sd_bus_reply_method_errorf(m, "org.bluez.Error.Failed", "refused on command");
        }
        ++self.writes_;
        const auto* p = static_cast<const std::uint8_t*>(bytes);
        if (!self.onFrame_(std::span(p, size))) {
            return sd_bus_reply_method_errorf(m, "org.bluez.Error.Failed", "frame refused");
        }
        return sd_bus_reply_method_return(m, "");
    }
    static int startNotify(sd_bus_message* m, void* userdata, sd_bus_error*) {
        const auto* data = static_cast<CharacteristicData*>(userdata);
        if (std::strcmp(data->c->uuid, kNotifyUuid) != 0) {
            return sd_bus_reply_method_errorf(m, "org.bluez.Error.NotSupported", "no notify");
        }
        data->peer->notifying_ = true;
        return sd_bus_reply_method_return(m, "");
    }
    static int stopNotify(sd_bus_message* m, void* userdata, sd_bus_error*) {
        static_cast<CharacteristicData*>(userdata)->peer->notifying_ = false;
        return sd_bus_reply_method_return(m, "");
    }

    static inline std::array<CharacteristicData, 3> characteristics{};
};

namespace {

using C = BlePeerCallbacks;

const sd_bus_vtable kAdapterTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("Address", "s", C::adapterAddress, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Powered", "b", C::adapterPowered, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END};

const sd_bus_vtable kDeviceTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("Address", "s", C::deviceAddress, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Name", "s", C::deviceName, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Modalias", "s", C::deviceModalias, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Adapter", "o", C::deviceAdapter, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Connected", "b", C::deviceConnected, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_VTABLE_END};

const sd_bus_vtable kServiceTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("UUID", "s", C::serviceUuid, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Primary", "b", C::servicePrimary, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Device", "o", C::serviceDevice, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END};

const sd_bus_vtable kCharTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("UUID", "s", C::charUuid, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Service", "o", C::charService, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Flags", "as", C::charFlags, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Value", "ay", C::charValue, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("Notifying", "b", C::charNotifying, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_METHOD("WriteValue", "aya{sv}", "", C::writeValue, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("StartNotify", "", "", C::startNotify, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("StopNotify", "", "", C::stopNotify, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END};

}  // namespace

BlePeer::BlePeer(std::string busAddress, FrameHandler onFrame)
    : address_(std::move(busAddress)), onFrame_(std::move(onFrame)) {}

BlePeer::~BlePeer() {
    for (sd_bus_slot* s : deviceSlots_) {
        sd_bus_slot_unref(s);
    }
    for (sd_bus_slot* s : fixedSlots_) {
        sd_bus_slot_unref(s);
    }
    if (bus_ != nullptr) {
        sd_bus_flush_close_unref(bus_);
    }
}

std::string BlePeer::start(bool connected) {
    connected_ = connected;
    int r = sd_bus_new(&bus_);
    if (r >= 0) {
        r = sd_bus_set_address(bus_, address_.c_str());
    }
    if (r >= 0) {
        r = sd_bus_set_bus_client(bus_, 1);
    }
    if (r >= 0) {
        r = sd_bus_start(bus_);
    }
    if (r < 0) {
        return std::string("cannot connect to the bus: ") + std::strerror(-r);
    }
    sd_bus_slot* slot = nullptr;
    if (sd_bus_add_object_manager(bus_, &slot, "/") < 0) {
        return "cannot add the object manager";
    }
    fixedSlots_.push_back(slot);
    if (sd_bus_add_object_vtable(bus_, &slot, kAdapterPath, kAdapterInterface, kAdapterTable,
                                 this) < 0) {
        return "cannot add the adapter";
    }
    fixedSlots_.push_back(slot);
    addDeviceObjects();
    r = sd_bus_request_name(bus_, kService, 0);
    if (r < 0) {
        return std::string("cannot own org.bluez: ") + std::strerror(-r);
    }
    flush();
    return {};
}

void BlePeer::addDeviceObjects() {
    sd_bus_slot* slot = nullptr;
    if (sd_bus_add_object_vtable(bus_, &slot, kDevicePath, kDeviceInterface, kDeviceTable, this) >=
        0) {
        deviceSlots_.push_back(slot);
    }
    if (sd_bus_add_object_vtable(bus_, &slot, kGattPath, kServiceInterface, kServiceTable, this) >=
        0) {
        deviceSlots_.push_back(slot);
    }
    for (std::size_t i = 0; i < kCharacteristics.size(); ++i) {
        C::characteristics[i] = {this, &kCharacteristics[i]};
        if (sd_bus_add_object_vtable(bus_, &slot, kCharacteristics[i].path, kCharInterface,
                                     kCharTable, &C::characteristics[i]) >= 0) {
            deviceSlots_.push_back(slot);
        }
    }
}

void BlePeer::removeDeviceObjects() {
    for (sd_bus_slot* s : deviceSlots_) {
        sd_bus_slot_unref(s);
    }
    deviceSlots_.clear();
}

void BlePeer::setPresent(bool present) {
    if (present == present_ || bus_ == nullptr) {
        return;
    }
    present_ = present;
    if (present) {
        addDeviceObjects();
        sd_bus_emit_interfaces_added(bus_, kDevicePath, kDeviceInterface, nullptr);
        sd_bus_emit_interfaces_added(bus_, kGattPath, kServiceInterface, nullptr);
        for (const Characteristic& c : kCharacteristics) {
            sd_bus_emit_interfaces_added(bus_, c.path, kCharInterface, nullptr);
        }
    } else {
        notifying_ = false;
        for (const Characteristic& c : kCharacteristics) {
            sd_bus_emit_interfaces_removed(bus_, c.path, kCharInterface, nullptr);
        }
        sd_bus_emit_interfaces_removed(bus_, kGattPath, kServiceInterface, nullptr);
        sd_bus_emit_interfaces_removed(bus_, kDevicePath, kDeviceInterface, nullptr);
        removeDeviceObjects();
    }
    flush();
}

void BlePeer::setConnected(bool connected) {
    if (connected == connected_) {
        return;
    }
    connected_ = connected;
    if (!connected) {
        notifying_ = false;  // BlueZ ends notifications with the connection
    }
    if (bus_ != nullptr && present_) {
        sd_bus_emit_properties_changed(bus_, kDevicePath, kDeviceInterface, "Connected", nullptr);
        flush();
    }
}

bool BlePeer::notify(std::span<const std::uint8_t> value) {
    if (bus_ == nullptr || !present_ || !connected_ || !notifying_) {
        return false;
    }
    value_.assign(value.begin(), value.end());
    sd_bus_emit_properties_changed(bus_, kCharacteristics[1].path, kCharInterface, "Value",
                                   nullptr);
    flush();
    return true;
}

void BlePeer::flush() {
    if (bus_ != nullptr && !frozen_) {
        sd_bus_flush(bus_);
    }
}

int BlePeer::fd() const {
    return bus_ != nullptr ? sd_bus_get_fd(bus_) : -1;
}

short BlePeer::events() const {
    if (bus_ == nullptr || frozen_) {
        return 0;
    }
    const int e = sd_bus_get_events(bus_);
    return static_cast<short>(e > 0 ? e : POLLIN);
}

int BlePeer::timeoutMs() const {
    std::uint64_t usec = 0;
    if (bus_ == nullptr || frozen_ || sd_bus_get_timeout(bus_, &usec) < 0 || usec == UINT64_MAX) {
        return -1;
    }
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t nowUsec = static_cast<std::uint64_t>(now.tv_sec) * 1000000u +
                                  static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
    return usec <= nowUsec
               ? 0
               : static_cast<int>(std::min<std::uint64_t>((usec - nowUsec) / 1000 + 1, 1000));
}

void BlePeer::process() {
    if (bus_ == nullptr || frozen_) {
        return;
    }
    while (sd_bus_process(bus_, nullptr) > 0) {
    }
}

}  // namespace tvq::virtualmouse
