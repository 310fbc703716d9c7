// The start-up probe of the mouse over Bluetooth LE: a HID device with the
// mouse's vendor and product ids (hidapi, hidraw).
#pragma once

namespace tvq {

bool hidBleMousePresent();

}  // namespace tvq
