#include "desktop/battery_notifier.h"

#include "base/debug.h"

namespace tvq {

void BatteryNotifier::update(const MouseStatus& status) {
    const std::optional<BatteryAlert> alert = alerts_.update(status);
    if (!alert) {
        return;
    }
    const AlertText text = alertText(*alert, status.battery, texts_);
    const auto urgency = *alert == BatteryAlert::kCritical ? DesktopNotifications::Urgency::kCritical
                         : *alert == BatteryAlert::kLow   ? DesktopNotifications::Urgency::kNormal
                                                          : DesktopNotifications::Urgency::kLow;
    debug::write("battery notification at " + std::to_string(status.battery) + "%\n");
    notifications_.show(QString::fromStdString(text.summary), QString::fromStdString(text.body),
                        urgency);
}

}  // namespace tvq
