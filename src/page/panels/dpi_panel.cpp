#include "page/panels/dpi_panel.h"

#include <algorithm>

#include "page/controls.h"
#include "page/panels/every_slot.h"

namespace tvq {

void DpiPanel::refresh(const Profile& current) {
    const ModeSettings& m = modeOf(current);
    showStage(m.dpiStage);
    for (std::size_t k = 0; k < layout::mode::kDpiStageCount; ++k) {
        // A stored value outside the range: the slider shows it clamped, the
        // label as it is; it is written back only when the slider is moved.
        view_.setSliderValue(numbered(control::kSliderDpi, k + 1), m.dpiValue[k]);
        showValue(k, m.dpiValue[k]);
        view_.setBackgroundColor(numbered(control::kDpiColor, k + 1), shownColor(m.dpiColor[k]));
        showInCycle(k, m.dpiEnabled[k] == 1);
    }
}

void DpiPanel::showStage(std::int32_t stage) {
    if (stage >= 0 && stage <= 7) {
        view_.selectOption(numbered(control::kOptionDpiStep, static_cast<std::size_t>(stage) + 1));
    } else {
        view_.clearOptions(control::kOptionDpiStep, control::kDpiStageControlCount);
    }
}

void DpiPanel::bind(ControlEvents& events) {
    for (std::size_t k = 0; k < control::kDpiStageControlCount; ++k) {
        events.onOptionSelected(numbered(control::kOptionDpiStep, k + 1),
                                [this, k] { selectStage(k); });
        events.onValueChanged(numbered(control::kSliderDpi, k + 1),
                              [this, k](int position) { setValue(k, position); });
        events.onValueChanged(numbered(control::kLabelDpi, k + 1),
                              [this, k](int dpi) { typeValue(k, dpi); });
        events.onClick(numbered(control::kDpiColor, k + 1), [this, k] { pickColour(k); });
        events.onToggle(numbered(control::kCheckDpiInCycle, k + 1),
                        [this, k](bool in) { setInCycle(k, in); });
    }
}

void DpiPanel::showInCycle(std::size_t stage, bool in) {
    view_.setChecked(numbered(control::kCheckDpiInCycle, stage + 1), in);
    for (const char* c :
         {control::kOptionDpiStep, control::kSliderDpi, control::kLabelDpi, control::kDpiColor}) {
        view_.setEnabled(numbered(c, stage + 1), in);
    }
}

void DpiPanel::setInCycle(std::size_t stage, bool in) {
    const Profile* current = session_.profiles().current();
    if (current == nullptr || stage >= layout::mode::kDpiStageCount) {
        return;
    }
    const ModeSettings& m = modeOf(*current);
    const auto inCycle = std::count(m.dpiEnabled.begin(), m.dpiEnabled.end(), 1);
    if (!in && inCycle <= 1 && m.dpiEnabled[stage] == 1) {
        showInCycle(stage, true);
        if (dialogs_ != nullptr) {
            dialogs_->tell("dpi_last_in_cycle_text");
        }
        return;
    }
    std::int32_t active = m.dpiStage;
    if (!in && active == static_cast<std::int32_t>(stage)) {
        for (std::size_t k = 0; k < layout::mode::kDpiStageCount; ++k) {
            if (k != stage && m.dpiEnabled[k] == 1) {
                active = static_cast<std::int32_t>(k);
                break;
            }
        }
    }
    // A stage put into the cycle with no usable value (a new profile's
    // stages 5 to 8 hold 0) takes the value of the stage before it.
    std::int32_t value = m.dpiValue[stage];
    if (in && (value < kMinValue || value > kMaxValue)) {
        value = stage > 0 ? std::clamp(m.dpiValue[stage - 1], kMinValue, kMaxValue) : kMinValue;
    }
    session_.edit(
        [stage, in, active, value](Profile& p) {
            writeAllSlots(p, [stage, in, active, value](ModeSettings& slot) {
                slot.dpiEnabled[stage] = in ? 1 : 0;
                slot.dpiStage = active;
                slot.dpiValue[stage] = value;
            });
        },
        AfterEdit::kApply);
    refresh(*session_.profiles().current());
}

void DpiPanel::selectStage(std::size_t stage) {
    editEverySlot(session_, &ModeSettings::dpiStage, static_cast<std::int32_t>(stage));
}

void DpiPanel::setValue(std::size_t stage, int position) {
    position = std::clamp(position, kMinValue, kMaxValue);  // never 0 on the mouse
    session_.edit(
        [stage, position](Profile& p) {
            writeAllSlots(p, [stage, position](ModeSettings& m) { m.dpiValue[stage] = position; });
        },
        AfterEdit::kApply, kSliderSettleMs);
    showValue(stage, position);
}

void DpiPanel::showValue(std::size_t stage, std::int32_t stored) {
    // As stored, also out of the cycle or out of range (the slider shows
    // that clamped); 0 (never set) shows as a dash.
    view_.setSliderValue(numbered(control::kLabelDpi, stage + 1),
                         static_cast<int>(std::clamp<std::int64_t>(shownDpi(stored), 0,
                                                                   kLargestShownDpi)));
}

void DpiPanel::typeValue(std::size_t stage, int dpi) {
    // A typed value goes to the nearest step the mouse takes.
    const int position =
        std::clamp((dpi + static_cast<int>(kDpiStep) / 2) / static_cast<int>(kDpiStep), kMinValue,
                   kMaxValue);
    view_.setSliderValue(numbered(control::kSliderDpi, stage + 1), position);
    setValue(stage, position);
}

void DpiPanel::pickColour(std::size_t stage) {
    const Profile* current = session_.profiles().current();
    if (current == nullptr || dialogs_ == nullptr) {
        return;
    }
    const std::string button = numbered(control::kDpiColor, stage + 1);
    // Every slot holds the same colour; slot 0's is the one shown.
    const auto chosen = dialogs_->pickColour(button, shownColor(current->modes[0].dpiColor[stage]));
    if (!chosen) {
        return;
    }
    const std::uint32_t stored = storedColor(*chosen);
    session_.edit(
        [stage, stored](Profile& p) {
            writeAllSlots(p, [stage, stored](ModeSettings& m) { m.dpiColor[stage] = stored; });
        },
        AfterEdit::kApply);
    view_.setBackgroundColor(button, shownColor(stored));
}

}  // namespace tvq
