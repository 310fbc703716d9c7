#include "protocol/status.h"

#include <string>

#include "base/constants.h"

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

void StatusHandler::onStatusReport(std::uint16_t code, std::uint16_t value, bool overBle) {
    const auto inRange = [value](int low, int high) { return value >= low && value <= high; };
    bool save = false;
    switch (code) {
        case status::kDpiStage: {
            if (!inRange(1, 8)) {
                return;
            }
            const std::int32_t stage = value - 1;
            std::int32_t dpiValue = 0;
            {
                const auto lock = store_.lock();
                Profile* current = store_.current();
                if (current == nullptr) {
                    return;
                }
                writeAllSlots(*current, [stage](ModeSettings& m) { m.dpiStage = stage; });
                dpiValue = modeOf(*current).dpiValue[static_cast<std::size_t>(stage)];
            }
            view_.selectOption(control::kOptionDpiStep + std::to_string(stage + 1));
            view_.postMessage(msg::kDpiStageReported, 0, dpiValue);
            save = true;
            break;
        }
        case status::kPolling: {
            if (!inRange(1, 8)) {
                return;
            }
            const std::int32_t rate = pollingRateFromReport(value);
            const auto lock = store_.lock();
            if (store_.current() != nullptr) {
                writeAllSlots(*store_.current(), [rate](ModeSettings& m) { m.pollingRate = rate; });
            }
            save = true;
            break;
        }
        case status::kSaveOnly:
            save = true;
            break;
        case status::kHeartbeat:
            onHeartbeat(value, overBle);
            return;
        case status::kAck:
            links_.ackReceived.store((value & 0xFF) == 0 ? 1 : 0);
            return;
        case status::kButtonMode: {
            if (!inRange(0, 4)) {
                return;
            }
            {
                const auto lock = store_.lock();
                if (store_.current() == nullptr) {
                    return;
                }
                store_.current()->buttonMode = value;
            }
            view_.refreshPage();
            if (value <= 1) {
                view_.selectOption(control::kOptionButtonMode + std::to_string(value + 1));
            }
            save = true;
            break;
        }
        case status::kBattery:
        case status::kIgnored:
        default:  // unknown codes change nothing either
            return;
    }
    if (save) {
        if (save_) {
            save_();
        } else {
            store_.save();
        }
    }
}

void StatusHandler::onHeartbeat(std::uint16_t value, bool overBle) {
    if (!overBle) {
        view_.stopTimer(timer::kLinkWatchdog);
        view_.startTimer(timer::kLinkWatchdog, timer::kLinkWatchdogMs);
    }
    if (!overBle && links_.receiverLinkUp.load() == 0) {
        links_.receiverLinkUp.store(1);
        view_.setVisible(control::kWireless, true);
        presence_.refreshModePanels();
    }
    const bool awake = (value & 0xFF) != 0;
    links_.deviceAsleep.store(awake ? 0 : 1);
    view_.setVisible(control::kSleepLabel, !awake);
    const int level = value >> 8;
    if (level >= 1 && level <= 10) {
        view_.setProgress(control::kProgressPower, level * 10);
        view_.setText(control::kLabelPower, std::to_string(level * 10) + "%");
    }
}

void StatusHandler::onWatchdog() {
    view_.stopTimer(timer::kLinkWatchdog);
    view_.setVisible(control::kWireless, false);
    links_.receiverLinkUp.store(0);
    presence_.refreshModePanels();
    if (!links_.ble() && !links_.wired()) {
        view_.setVisible(control::kSleepLabel, true);
    }
}

}  // namespace tvq
