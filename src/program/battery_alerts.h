// When to tell the user about the battery: once when the level falls to the
// low threshold, once at the critical one, once when charging has filled it.
// A level that wanders around a threshold does not tell again until the
// mouse has been charged to ten points above it. Levels reported while the
// mouse sleeps or is away, and unknown ones, are not looked at.
#pragma once

#include <optional>
#include <string>

#include "base/text_source.h"
#include "device/mouse_status.h"
#include "program/program_settings.h"

namespace tvq {

enum class BatteryAlert { kLow, kCritical, kFull };

class BatteryAlerts {
  public:
    explicit BatteryAlerts(BatteryAlertSettings settings = {}) : settings_(settings) {}

    // Thresholds and the switch, from the next report on.
    void setSettings(const BatteryAlertSettings& settings) { settings_ = settings; }

    // The mouse's state changed; the alert it calls for, if any. With
    // notifications switched off the state is followed all the same, so that
    // switching them on does not tell of a crossing long past.
    std::optional<BatteryAlert> update(const MouseStatus& status);

    // Points above a threshold the mouse must be charged to before the
    // threshold tells again.
    static constexpr int kRearmPoints = 10;

  private:
    BatteryAlertSettings settings_;
    bool lowGiven_ = false;
    bool criticalGiven_ = false;
    bool fullGiven_ = false;
    // No level seen since the mouse was last away: the next one may have
    // been charged elsewhere.
    bool returning_ = true;
};

// The notification's title and body for an alert at `percent`.
struct AlertText {
    std::string summary;
    std::string body;
};
AlertText alertText(BatteryAlert alert, int percent, const TextSource& texts);

// The mouse's state in words, one fact per line: the link, the battery, the
// charging and the sleep (the tray icon's tooltip).
std::string statusText(const MouseStatus& status, const TextSource& texts);

}  // namespace tvq
