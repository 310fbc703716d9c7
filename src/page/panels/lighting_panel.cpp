#include "page/panels/lighting_panel.h"

#include "page/controls.h"
#include "page/panels/every_slot.h"

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

void LightingPanel::bind(ControlEvents& events) {
    events.onItemChosen(control::kComboLight, [this](int i) { chooseEffect(i); });
    events.onItemChosen(control::kComboLightBle, [this](int i) { chooseBleEffect(i); });
    events.onValueChanged(control::kSliderBrightness,
                          [this](int v) { setSlider(&ModeSettings::brightness, v); });
    events.onValueChanged(control::kSliderBreathSpeed,
                          [this](int v) { setSlider(&ModeSettings::breathSpeed, v); });
    events.onClick(control::kLightColor, [this] { pickColour(); });
}

void LightingPanel::chooseEffect(int index) {
    editEverySlot(session_, &ModeSettings::lightMode, index, kListSettleMs);
    updateRows(index);
}

void LightingPanel::chooseBleEffect(int index) {
    editEverySlot(session_, &ModeSettings::lightModeBle, index, kListSettleMs);
}

void LightingPanel::setSlider(std::int32_t ModeSettings::*field, int position) {
    editEverySlot(session_, field, position, kSliderSettleMs);
}

void LightingPanel::pickColour() {
    const Profile* current = session_.profiles().current();
    if (current == nullptr || dialogs_ == nullptr) {
        return;
    }
    const auto chosen =
        dialogs_->pickColour(control::kLightColor, shownColor(current->modes[0].lightColor));
    if (chosen) {
        const std::uint32_t stored = storedColor(*chosen);
        session_.edit(
            [stored](Profile& p) {
                writeAllSlots(p, [stored](ModeSettings& m) { m.lightColor = stored; });
            },
            AfterEdit::kNothing);
        view_.setBackgroundColor(control::kLightColor, shownColor(stored));
    }
    session_.requestApply();
}

}  // namespace tvq
