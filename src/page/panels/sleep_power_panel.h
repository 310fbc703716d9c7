// The sleep and power panel: the sleep timer with its label, the battery
// level and the charging animation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <string_view>

#include "base/text_source.h"
#include "page/page_view.h"
#include "profiles/profile.h"
#include "program/program_settings.h"
#include "session/mouse_session.h"

namespace tvq {

class SleepPowerPanel {
  public:
    SleepPowerPanel(PageView& view, const TextSource& texts, MouseSession& session)
        : view_(view),
          texts_(texts),
          session_(session),
          chargeAnimation_(view.makeTicker([this] { chargeAnimationTick(); })) {}

    // Binds the sleep timer's slider.
    void bind(ControlEvents& events);

    void refresh(const Profile& current);

    // "<sleep_timer_1_text><value × 0.5, one decimal> <sleep_timer_2_text>".
    std::string sleepLabelText(std::int32_t sleepTimer) const;
    void refreshSleepLabel(std::int32_t sleepTimer);

    // A battery level of 10..100 percent: the bar and "<n>%"; at or below
    // the low level the bar warns (at or below the critical one: critical)
    // and a line says to charge the mouse.
    void showBattery(int percent);
    // The levels the bar warns at: the ones the battery notifications use.
    void setWarningLevels(const BatteryAlertSettings& levels);
    // Charging: the label says so beside the level; with no level known the
    // bar climbs every kChargeAnimationMs while it lasts.
    void showCharging(bool charging);
    // One step of the charging animation: the bar climbs 0, 2, ..., 100 and
    // starts again.
    void chargeAnimationTick();
    void resetChargeAnimation() { chargeAnimValue_ = 0; }

    // The sleep timer's slider: stored, shown in the label and sent once the
    // slider has rested.
    void setSleepTimer(int position);

    static constexpr int kChargeAnimationMs = 30;

  private:
    PageView& view_;
    const TextSource& texts_;
    MouseSession& session_;
    void showPower();

    std::int32_t chargeAnimValue_ = 0;
    int battery_ = 0;  // the last level reported, 0 unknown
    bool charging_ = false;
    BatteryAlertSettings levels_;
    std::unique_ptr<Ticker> chargeAnimation_;
};

}  // namespace tvq
