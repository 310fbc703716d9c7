#include "protocol/status.h"

#include "protocol/report_layout.h"
#include "protocol/status_codes.h"

namespace tvq {

std::int32_t pollingRateFromReport(std::uint16_t value) {
    if (value >= 8) {
        return 0;  // 8 ms
    }
    if (value >= 4) {
        return 1;  // 4 ms
    }
    if (value >= 2) {
        return 2;  // 2 ms
    }
    return 3;  // 1 ms
}

StatusEvent decodeStatus(std::uint16_t code, std::uint16_t value) {
    using Kind = StatusEvent::Kind;
    const auto inRange = [value](int low, int high) { return value >= low && value <= high; };
    StatusEvent e;
    switch (code) {
        case status::kDpiStage:
            if (inRange(1, 8)) {
                e.kind = Kind::kDpiStage;
                e.setting = value - 1;
            }
            break;
        case status::kPolling:
            if (inRange(1, 8)) {
                e.kind = Kind::kPolling;
                e.setting = pollingRateFromReport(value);
            }
            break;
        case status::kSaveOnly:
            e.kind = Kind::kSaveOnly;
            break;
        case status::kHeartbeat: {
            e.kind = Kind::kHeartbeat;
            e.awake = (value & 0xFF) != 0;
            const int level = value >> 8;
            e.batteryPercent = level >= 1 && level <= 10 ? level * 10 : 0;
            break;
        }
        case status::kAck:
            e.kind = Kind::kAck;
            e.acknowledged = (value & 0xFF) == 0;
            break;
        case status::kButtonMode:
            if (inRange(0, 4)) {
                e.kind = Kind::kButtonMode;
                e.setting = value;
            }
            break;
        default:  // battery (0x6000), 0x7000 and unknown codes change nothing
            break;
    }
    return e;
}

bool applyStatusToProfile(const StatusEvent& event, Profile& profile) {
    const std::int32_t value = event.setting;
    switch (event.kind) {
        case StatusEvent::Kind::kDpiStage:
            writeAllSlots(profile, [value](ModeSettings& m) { m.dpiStage = value; });
            return true;
        case StatusEvent::Kind::kPolling:
            writeAllSlots(profile, [value](ModeSettings& m) { m.pollingRate = value; });
            return true;
        case StatusEvent::Kind::kButtonMode:
            profile.buttonMode = value;
            return true;
        default:
            return false;
    }
}

std::uint8_t reportChangedBy(const StatusEvent& event) {
    switch (event.kind) {
        case StatusEvent::Kind::kDpiStage:
            return report::kDpi;
        case StatusEvent::Kind::kPolling:
            return report::kPolling;
        case StatusEvent::Kind::kButtonMode:
            return report::kProfileSelect;
        default:
            return 0;
    }
}

void StatusHandler::tellLinksChanged(LinkChange change, bool presenceChanged) {
    links_.mouseMayHoldOther();
    events_->linksChanged(change, presenceChanged);
}

void StatusHandler::onStatusReport(std::uint16_t code, std::uint16_t value, bool overBle) {
    const StatusEvent event = decodeStatus(code, value);
    switch (event.kind) {
        case StatusEvent::Kind::kNone:
            return;
        case StatusEvent::Kind::kAck:
            links_.ackReceived.store(event.acknowledged ? 1 : 0);
            if (hooks_.acknowledged) {
                hooks_.acknowledged();
            }
            return;
        case StatusEvent::Kind::kHeartbeat:
            onHeartbeat(event, overBle);
            return;
        case StatusEvent::Kind::kSaveOnly:
            hooks_.save();
            return;
        case StatusEvent::Kind::kDpiStage:
        case StatusEvent::Kind::kPolling:
        case StatusEvent::Kind::kButtonMode:
            onProfileSetting(event);
            return;
    }
}

void StatusHandler::onProfileSetting(const StatusEvent& event) {
    std::int32_t dpiValue = 0;
    const bool edited = store_.editCurrent([&](Profile& p) {
        applyStatusToProfile(event, p);
        if (event.kind == StatusEvent::Kind::kDpiStage) {
            dpiValue = modeOf(p).dpiValue[static_cast<std::size_t>(event.setting)];
        }
    });
    // Whatever the store makes of it, the mouse now holds something else
    // than the frames it was last sent. Told after the store holds the
    // change, since an apply may follow at once.
    if (hooks_.changedByMouse) {
        hooks_.changedByMouse(reportChangedBy(event));
    }
    if (!edited) {
        return;  // no profile loaded: nothing to show or keep
    }
    switch (event.kind) {
        case StatusEvent::Kind::kDpiStage:
            events_->dpiStageReported(event.setting, dpiValue);
            break;
        case StatusEvent::Kind::kPolling:
            events_->pollingReported(event.setting);
            break;
        default:
            events_->buttonModeReported(event.setting);
            break;
    }
    hooks_.save();
}

void StatusHandler::onHeartbeat(const StatusEvent& event, bool overBle) {
    if (!overBle) {
        watchdog_.arm();
        if (links_.receiverLinkUp.load() == 0) {
            links_.receiverLinkUp.store(1);
            tellLinksChanged(LinkChange::kReceiverLinkUp, false);
        }
    }
    if (links_.deviceAsleep.exchange(event.awake ? 0 : 1) == 1 && event.awake) {
        links_.mouseMayHoldOther();  // it woke up, and may have lost what it held
    }
    events_->sleepChanged(!event.awake);
    if (event.batteryPercent != 0) {
        events_->batteryReported(event.batteryPercent);
    }
}

void StatusHandler::onWatchdog() {
    watchdog_.disarm();
    links_.receiverLinkUp.store(0);
    tellLinksChanged(LinkChange::kReceiverLinkLost, false);
    if (!links_.ble() && !links_.wired()) {
        events_->sleepChanged(true);
    }
}

}  // namespace tvq
