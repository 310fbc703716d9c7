#include "platform/bluez/ble_probe.h"

#include <hidapi/hidapi.h>

#include "device/device_ids.h"

namespace tvq {

bool hidBleMousePresent() {
    // The device-access libraries use hidapi too; its state is left in place.
    hid_device_info* devices = hid_enumerate(usb::kBleVendor, usb::kBleProduct);
    const bool found = devices != nullptr;
    hid_free_enumeration(devices);
    return found;
}

}  // namespace tvq
