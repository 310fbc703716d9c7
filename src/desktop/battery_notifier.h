// Low, critical and full battery as desktop notifications: BatteryAlerts
// decides, DesktopNotifications shows, with the urgency each calls for.
#pragma once

#include <QDBusConnection>

#include "base/text_source.h"
#include "desktop/notifications.h"
#include "program/battery_alerts.h"

namespace tvq {

class BatteryNotifier final {
  public:
    BatteryNotifier(const TextSource& texts, QDBusConnection bus,
                    const BatteryAlertSettings& settings)
        : texts_(texts), alerts_(settings), notifications_(std::move(bus)) {}

    void update(const MouseStatus& status);
    void setSettings(const BatteryAlertSettings& settings) { alerts_.setSettings(settings); }

  private:
    const TextSource& texts_;
    BatteryAlerts alerts_;
    DesktopNotifications notifications_;
};

}  // namespace tvq
