#include "program/battery_alerts.h"

#include "base/text.h"

namespace tvq {

std::optional<BatteryAlert> BatteryAlerts::update(const MouseStatus& status) {
    if (status.link == MouseStatus::Link::kNone) {
        returning_ = true;
        return std::nullopt;
    }
    const int level = status.battery;
    if (status.asleep || level <= 0 || level > 100) {
        return std::nullopt;
    }
    // Charged to ten points above a threshold (here, or while the program
    // did not see the mouse): that threshold may tell again.
    if (status.charging || returning_) {
        if (level >= settings_.low + kRearmPoints) {
            lowGiven_ = false;
        }
        if (level >= settings_.critical + kRearmPoints) {
            criticalGiven_ = false;
        }
    }
    returning_ = false;
    if (!status.charging && level < 100) {
        fullGiven_ = false;
    }

    std::optional<BatteryAlert> alert;
    if (status.charging) {
        if (level == 100 && !fullGiven_) {
            fullGiven_ = true;
            alert = BatteryAlert::kFull;
        }
    } else if (level <= settings_.critical && !criticalGiven_) {
        criticalGiven_ = true;
        lowGiven_ = true;  // the critical one says it already
        alert = BatteryAlert::kCritical;
    } else if (level <= settings_.low && !lowGiven_) {
        lowGiven_ = true;
        alert = BatteryAlert::kLow;
    }
    return settings_.enabled ? alert : std::nullopt;
}

AlertText alertText(BatteryAlert alert, int percent, const TextSource& texts) {
    switch (alert) {
        case BatteryAlert::kLow:
            return {texts.text("battery_low_title_text"),
                    formatText(texts.text("battery_low_body_text"), {std::to_string(percent)})};
        case BatteryAlert::kCritical:
            return {
                texts.text("battery_critical_title_text"),
                formatText(texts.text("battery_critical_body_text"), {std::to_string(percent)})};
        case BatteryAlert::kFull:
            return {texts.text("battery_full_title_text"), texts.text("battery_full_body_text")};
    }
    return {};
}

std::string statusText(const MouseStatus& status, const TextSource& texts) {
    std::string text;
    switch (status.link) {
        case MouseStatus::Link::kNone:
            return texts.text("status_not_connected_text");
        case MouseStatus::Link::kCable:
            text = texts.text("status_cable_text");
            break;
        case MouseStatus::Link::kReceiver:
            text = texts.text("status_receiver_text");
            break;
        case MouseStatus::Link::kBluetooth:
            text = texts.text("status_bluetooth_text");
            break;
    }
    if (status.battery > 0) {
        text +=
            "\n" + formatText(texts.text("status_battery_text"), {std::to_string(status.battery)});
    }
    if (status.charging) {
        text += "\n" + texts.text(status.battery >= 100 ? "fully_charged_text" : "charging_text");
    }
    if (status.asleep) {
        text += "\n" + texts.text("status_asleep_text");
    }
    return text;
}

}  // namespace tvq
