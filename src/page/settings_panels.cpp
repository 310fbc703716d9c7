#include "page/settings_panels.h"

#include <cstdio>

#include "base/constants.h"
#include "page/function_catalogue.h"

namespace tvq {
namespace {

std::string numbered(const char* prefix, std::size_t n) {
    return prefix + std::to_string(n);
}

constexpr int kChargeStep = 2;
constexpr int kChargeFull = 100;

}  // namespace

void SettingsPanels::refreshPage(const Profile* current,
                                 const std::function<void()>& refreshModePanels) {
    if (current == nullptr) {
        return;
    }
    const ModeSettings& m = modeOf(*current);
    if (refreshModePanels) {
        refreshModePanels();
    }
    if (current->buttonMode == 0 || current->buttonMode == 1) {
        view_.selectOption(numbered(control::kOptionButtonMode, current->buttonMode + 1));
    } else {
        clearOptions(control::kOptionButtonMode, control::kButtonModeOptionCount);
    }
    if (m.dpiStage >= 0 && m.dpiStage <= 7) {
        view_.selectOption(numbered(control::kOptionDpiStep, m.dpiStage + 1));
    } else {
        clearOptions(control::kOptionDpiStep, control::kDpiStageControlCount);
    }
    for (std::size_t k = 0; k < layout::mode::kDpiStageCount; ++k) {
        view_.setSliderValue(numbered(control::kSliderDpi, k + 1), m.dpiValue[k]);
        view_.setText(numbered(control::kLabelDpi, k + 1), std::to_string(shownDpi(m.dpiValue[k])));
        view_.setBackgroundColor(numbered(control::kDpiColor, k + 1), shownColor(m.dpiColor[k]));
    }
    view_.selectItem(control::kComboLight, m.lightMode);
    view_.selectItem(control::kComboLightBle, m.lightModeBle);
    view_.setSliderValue(control::kSliderBrightness, m.brightness);
    view_.setSliderValue(control::kSliderBreathSpeed, m.breathSpeed);
    view_.setBackgroundColor(control::kLightColor, shownColor(m.lightColor));
    if (m.pollingRate >= 0 && m.pollingRate <= 3) {
        view_.selectOption(numbered(control::kOptionPrate, m.pollingRate + 1));
        view_.setTextKey(control::kLabelPrate,
                         "prate_" + std::to_string(m.pollingRate + 1) + "_text");
    } else {
        clearOptions(control::kOptionPrate, control::kPrateOptionCount);
    }
    view_.setSliderValue(control::kSliderSleep, m.sleepTimer);
    refreshSleepLabel(m.sleepTimer);
    for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
        refreshKeyText(*current, k);
    }
}

void SettingsPanels::clearOptions(const char* prefix, int count) {
    for (int n = 1; n <= count; ++n) {
        view_.setChecked(numbered(prefix, static_cast<std::size_t>(n)), false);
    }
}

std::string SettingsPanels::sleepLabelText(std::int32_t sleepTimer) const {
    char value[32];
    std::snprintf(value, sizeof value, "%.1f", sleepTimer * 0.5);
    return texts_.text(textkeys::kSleepTimerBefore) + value + " " +
           texts_.text(textkeys::kSleepTimerAfter);
}

void SettingsPanels::refreshSleepLabel(std::int32_t sleepTimer) {
    view_.setText(control::kLabelSleep, sleepLabelText(sleepTimer));
}

void SettingsPanels::updateLightRows(std::int32_t lightMode) {
    const bool brightness = lightMode == 1;
    const bool speed = lightMode >= 2 && lightMode <= 11;
    const bool color = lightMode == 1 || lightMode == 2;
    view_.setVisible(control::kHorBrightness, brightness);
    view_.setVisible(control::kHorBreathSpeed, speed);
    view_.setVisible(control::kHorLightColor, color);
}

void SettingsPanels::refreshKeyText(const Profile& current, std::size_t buttonIndex) {
    if (buttonIndex >= layout::mode::kUsedBindingCount) {
        return;
    }
    const KeyButtonText t = keyButtonText(modeOf(current).buttons[buttonIndex], keys_, texts_);
    const std::string control = numbered(control::kKeyButton, buttonIndex + 1);
    if (t.isLanguageKey) {
        view_.setTextKey(control, t.text);
    } else {
        view_.setText(control, t.text);
    }
}

void SettingsPanels::chargeAnimationTick() {
    view_.setProgress(control::kProgressPower, chargeAnimValue_);
    chargeAnimValue_ += kChargeStep;
    if (chargeAnimValue_ > kChargeFull) {
        chargeAnimValue_ = 0;
    }
}

}  // namespace tvq
