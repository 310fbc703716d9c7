#include "page/panels/sleep_power_panel.h"

#include "base/text.h"
#include "base/text_keys.h"
#include "page/controls.h"
#include "page/panels/every_slot.h"

namespace tvq {
namespace {

constexpr int kChargeStep = 2;
constexpr int kChargeFull = 100;

}  // namespace

void SleepPowerPanel::refresh(const Profile& current) {
    const std::int32_t sleepTimer = modeOf(current).sleepTimer;
    view_.setSliderValue(control::kSliderSleep, sleepTimer);
    refreshSleepLabel(sleepTimer);
}

std::string SleepPowerPanel::sleepLabelText(std::int32_t sleepTimer) const {
    // Half minutes, with the language's decimal separator.
    const std::string value = std::to_string(sleepTimer / 2) +
                              texts_.text(textkeys::kDecimalSeparator) +
                              (sleepTimer % 2 != 0 ? "5" : "0");
    return texts_.text(textkeys::kSleepTimerBefore) + value + " " +
           texts_.text(textkeys::kSleepTimerAfter);
}

void SleepPowerPanel::refreshSleepLabel(std::int32_t sleepTimer) {
    view_.setText(control::kLabelSleep, sleepLabelText(sleepTimer));
}

void SleepPowerPanel::bind(ControlEvents& events) {
    events.onValueChanged(control::kSliderSleep, [this](int position) { setSleepTimer(position); });
}

void SleepPowerPanel::setSleepTimer(int position) {
    editEverySlot(session_, &ModeSettings::sleepTimer, position, kSliderSettleMs);
    refreshSleepLabel(position);
}

void SleepPowerPanel::showBattery(int percent) {
    battery_ = percent;
    showPower();
}

void SleepPowerPanel::setWarningLevels(const BatteryAlertSettings& levels) {
    levels_ = levels;
    showPower();
}

void SleepPowerPanel::showCharging(bool charging) {
    charging_ = charging;
    showPower();
}

void SleepPowerPanel::showPower() {
    // Charging with no level known (the cable brings none): the bar climbs.
    if (charging_ && battery_ == 0) {
        view_.setText(control::kLabelPower, texts_.text(textkeys::kCharging));
        if (!chargeAnimation_->running()) {
            resetChargeAnimation();
            chargeAnimation_->start(kChargeAnimationMs);
        }
    } else {
        chargeAnimation_->stop();
        view_.setProgress(control::kProgressPower, battery_);
        const std::string percent = std::to_string(battery_);
        // Charging ends at full: the cable keeps the mouse there.
        const char* charge =
            battery_ >= kChargeFull ? "battery_full_percent_text" : "battery_charging_percent_text";
        view_.setText(control::kLabelPower,
                      battery_ == 0 ? std::string()
                      : charging_   ? formatText(texts_.text(charge), {percent})
                                    : formatText(texts_.text(textkeys::kPercent), {percent}));
    }
    // Below the thresholds the bar warns, and a line says what to do.
    const bool running = !charging_ && battery_ > 0;
    const char* level = !running                       ? ""
                        : battery_ <= levels_.critical ? "critical"
                        : battery_ <= levels_.low      ? "low"
                                                       : "";
    view_.setStyleState(control::kProgressPower, level);
    view_.setVisible(control::kLowPowerLabel, *level != '\0');
    if (*level != '\0') {
        view_.setTextKey(control::kLowPowerLabel,
                         *level == 'c' ? "critical_power_text" : "low_power_text");
    }
}

void SleepPowerPanel::chargeAnimationTick() {
    view_.setProgress(control::kProgressPower, chargeAnimValue_);
    chargeAnimValue_ += kChargeStep;
    if (chargeAnimValue_ > kChargeFull) {
        chargeAnimValue_ = 0;
    }
}

}  // namespace tvq
