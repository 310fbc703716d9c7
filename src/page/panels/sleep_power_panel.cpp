#include "page/panels/sleep_power_panel.h"

#include <cstdio>

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
    char value[32];
    std::snprintf(value, sizeof value, "%.1f", sleepTimer * 0.5);
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
    view_.setProgress(control::kProgressPower, percent);
    view_.setText(control::kLabelPower, std::to_string(percent) + "%");
}

void SleepPowerPanel::showCharging(bool charging) {
    if (charging) {
        view_.setText(control::kLabelPower, texts_.text(textkeys::kCharging));
        resetChargeAnimation();
        chargeAnimation_->start(kChargeAnimationMs);
    } else {
        view_.setText(control::kLabelPower, "");
        chargeAnimation_->stop();
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
