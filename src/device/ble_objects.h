// What BlueZ shows of Bluetooth devices and their GATT characteristics, and
// how the mouse is found among them: a Device1 whose Modalias names the
// mouse's vendor and product (the tags "VID&02045E" and "PID&0040", in BlueZ's
// form "usb:v045Ep0040..."), that is connected, and whose address is one of
// the connected addresses known to the link.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tvq {

inline constexpr const char* kBleWriteUuid = "0000fee3-0000-1000-8000-00805f9b34fb";
inline constexpr const char* kBleNotifyUuid = "0000fee4-0000-1000-8000-00805f9b34fb";
inline constexpr const char* kBleWriteFlag = "write";
inline constexpr const char* kBleNotifyFlag = "notify";
inline constexpr std::size_t kMaxConnectedAddresses = 100;

struct BleDevice {
    std::string path;
    std::string address;
    std::string modalias;
    bool connected = false;
};

struct BleCharacteristic {
    std::string path;
    std::string uuid;
    std::string devicePath;  // the device its service belongs to
    std::vector<std::string> flags;
};

struct BleObjects {
    std::vector<BleDevice> devices;
    std::vector<BleCharacteristic> characteristics;
};

// Whether a Modalias ("usb:v045Ep0040d0001") names the vendor and product of
// the tags ("VID&02045E": source 02 = USB, then the vendor; "PID&0040").
bool modaliasNames(std::string_view modalias, std::string_view vendorTag,
                   std::string_view productTag);

// The addresses of the connected devices, in order, at most 100.
std::vector<std::string> connectedAddresses(const BleObjects& objects);

// Whether a device named by the tags is connected now.
bool mouseConnected(const BleObjects& objects, std::string_view vendorTag,
                    std::string_view productTag);

// The characteristics with `uuid` and `flag` of the connected devices named
// by the tags whose address is among `addresses`, in the order BlueZ listed
// them.
std::vector<std::string> mouseCharacteristics(const BleObjects& objects, std::string_view vendorTag,
                                              std::string_view productTag,
                                              const std::vector<std::string>& addresses,
                                              std::string_view uuid, std::string_view flag);

}  // namespace tvq
