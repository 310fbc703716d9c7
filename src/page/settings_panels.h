// What the settings panels show of a profile: every control filled from the
// active mode slot, the sleep label, the lighting rows that belong to the
// effect, and the charging animation. Nothing here raises a notification.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/text_source.h"
#include "input/key_names.h"
#include "page/page_view.h"
#include "profiles/profile.h"

namespace tvq {

class SettingsPanels {
  public:
    SettingsPanels(PageView& view, const TextSource& texts, const KeyNames& keys)
        : view_(view), texts_(texts), keys_(keys) {}

    // Fills every control from the active slot of `current` (nothing when it
    // is null). `refreshModePanels` runs first: the link-dependent visibility,
    // which includes the lighting rows.
    void refreshPage(const Profile* current, const std::function<void()>& refreshModePanels);

    // "<sleep_timer_1_text><value × 0.5, one decimal> <sleep_timer_2_text>".
    std::string sleepLabelText(std::int32_t sleepTimer) const;
    void refreshSleepLabel(std::int32_t sleepTimer);

    // Brightness for effect 1, breathing speed for 2..11, colour for 1 and 2.
    void updateLightRows(std::int32_t lightMode);

    // The key button of one of the 18 buttons.
    void refreshKeyText(const Profile& current, std::size_t buttonIndex);

    // One tick of timer 53: the bar climbs 0, 2, ..., 100 and starts again.
    void chargeAnimationTick();
    void resetChargeAnimation() { chargeAnimValue_ = 0; }

  private:
    // A value with no option: none of the group's options is selected.
    void clearOptions(const char* prefix, int count);

    PageView& view_;
    const TextSource& texts_;
    const KeyNames& keys_;
    std::int32_t chargeAnimValue_ = 0;
};

}  // namespace tvq
