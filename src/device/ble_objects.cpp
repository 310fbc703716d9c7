#include "device/ble_objects.h"

#include <algorithm>

#include "base/text.h"

namespace tvq {
namespace {

constexpr std::string_view kVendorPrefix = "VID&";
constexpr std::string_view kProductPrefix = "PID&";

bool isHex(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

const BleDevice* deviceAt(const BleObjects& objects, std::string_view path) {
    for (const BleDevice& d : objects.devices) {
        if (d.path == path) {
            return &d;
        }
    }
    return nullptr;
}

}  // namespace

bool modaliasNames(std::string_view modalias, std::string_view vendorTag,
                   std::string_view productTag) {
    if (vendorTag.size() != kVendorPrefix.size() + 6 || !vendorTag.starts_with(kVendorPrefix) ||
        productTag.size() != kProductPrefix.size() + 4 || !productTag.starts_with(kProductPrefix)) {
        return false;
    }
    const std::string_view source = vendorTag.substr(kVendorPrefix.size(), 2);
    const std::string_view vendor = vendorTag.substr(kVendorPrefix.size() + 2);
    const std::string_view product = productTag.substr(kProductPrefix.size());
    if (!isHex(vendor) || !isHex(product)) {
        return false;
    }
    std::string prefix;
    if (source == "01") {
        prefix = "bluetooth:";
    } else if (source == "02") {
        prefix = "usb:";
    } else {
        return false;
    }
    prefix += "v" + std::string(vendor) + "p" + std::string(product);
    return modalias.size() >= prefix.size() &&
           equalIgnoringAsciiCase(modalias.substr(0, prefix.size()), prefix);
}

std::vector<std::string> connectedAddresses(const BleObjects& objects) {
    std::vector<std::string> addresses;
    for (const BleDevice& d : objects.devices) {
        if (addresses.size() == kMaxConnectedAddresses) {
            break;
        }
        if (d.connected && !d.address.empty()) {
            addresses.push_back(d.address);
        }
    }
    return addresses;
}

bool mouseConnected(const BleObjects& objects, std::string_view vendorTag,
                    std::string_view productTag) {
    return std::any_of(objects.devices.begin(), objects.devices.end(), [&](const BleDevice& d) {
        return d.connected && modaliasNames(d.modalias, vendorTag, productTag);
    });
}

std::vector<std::string> mouseCharacteristics(const BleObjects& objects, std::string_view vendorTag,
                                              std::string_view productTag,
                                              const std::vector<std::string>& addresses,
                                              std::string_view uuid, std::string_view flag) {
    std::vector<std::string> paths;
    if (vendorTag.empty() || productTag.empty()) {
        return paths;
    }
    for (const BleCharacteristic& c : objects.characteristics) {
        const BleDevice* d = deviceAt(objects, c.devicePath);
        if (d == nullptr || !d->connected || !modaliasNames(d->modalias, vendorTag, productTag)) {
            continue;
        }
        const bool known = std::any_of(addresses.begin(), addresses.end(), [&](const auto& a) {
            return equalIgnoringAsciiCase(a, d->address);
        });
        if (!known || !equalIgnoringAsciiCase(c.uuid, uuid) ||
            std::find(c.flags.begin(), c.flags.end(), flag) == c.flags.end()) {
            continue;
        }
        paths.push_back(c.path);
    }
    return paths;
}

}  // namespace tvq
