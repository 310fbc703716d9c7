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

bool LightingPanel::onItemSelect(std::string_view control, int index) {
    if (control == control::kComboLight) {
        editEverySlot(session_, &ModeSettings::lightMode, index, kListSettleMs);
        updateRows(index);
        return true;
    }
    if (control == control::kComboLightBle) {
        editEverySlot(session_, &ModeSettings::lightModeBle, index, kListSettleMs);
        return true;
    }
    return false;
}

bool LightingPanel::onValueChanged(std::string_view control, int position) {
    std::int32_t ModeSettings::*field = nullptr;
    if (control == control::kSliderBrightness) {
        field = &ModeSettings::brightness;
    } else if (control == control::kSliderBreathSpeed) {
        field = &ModeSettings::breathSpeed;
    } else {
        return false;
    }
    editEverySlot(session_, field, position, kSliderSettleMs);
    return true;
}

bool LightingPanel::onClick(std::string_view control) {
    if (control != control::kLightColor) {
        return false;
    }
    const Profile* current = session_.profiles().current();
    if (current == nullptr || dialogs_ == nullptr) {
        return true;
    }
    const auto chosen = dialogs_->pickColour(control, shownColor(current->modes[0].lightColor));
    if (chosen) {
        const std::uint32_t stored = storedColor(*chosen);
        session_.edit(
            [stored](Profile& p) {
                writeAllSlots(p, [stored](ModeSettings& m) { m.lightColor = stored; });
            },
            AfterEdit::kNothing);
        view_.setBackgroundColor(control, shownColor(stored));
    }
    session_.requestApply();
    return true;
}

}  // namespace tvq
