#include "page/panels/lighting_panel.h"

#include "page/controls.h"

namespace tvq {

void LightingPanel::refresh(const Profile& current) {
    const ModeSettings& m = modeOf(current);
    view_.selectItem(control::kComboLight, m.lightMode);
    view_.selectItem(control::kComboLightBle, m.lightModeBle);
    view_.setSliderValue(control::kSliderBrightness, m.brightness);
    view_.setSliderValue(control::kSliderBreathSpeed, m.breathSpeed);
    view_.setBackgroundColor(control::kLightColor, shownColor(m.lightColor));
}

void LightingPanel::updateRows(std::int32_t lightMode) {
    const bool brightness = lightMode == 1;
    const bool speed = lightMode >= 2 && lightMode <= 11;
    const bool color = lightMode == 1 || lightMode == 2;
    view_.setVisible(control::kHorBrightness, brightness);
    view_.setVisible(control::kHorBreathSpeed, speed);
    view_.setVisible(control::kHorLightColor, color);
}

}  // namespace tvq
