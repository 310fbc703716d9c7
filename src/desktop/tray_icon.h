// The tray icon with the mouse's state drawn over the program's icon: the
// battery as a bar in 10 % steps (its colour warns at the low and critical
// thresholds), a flash while charging, a warning mark at or below the low
// threshold, and the icon faded while the mouse is not connected. Drawn for
// whatever size the tray asks, so it stays crisp at any scale.
#pragma once

#include <QIcon>
#include <QImage>

#include "device/mouse_status.h"
#include "program/program_settings.h"

namespace tvq {

QIcon trayIcon(const MouseStatus& status, const BatteryAlertSettings& thresholds);

// The icon at `pixels` × `pixels` device pixels.
QImage drawTrayIcon(int pixels, const MouseStatus& status, const BatteryAlertSettings& thresholds);

}  // namespace tvq
