#include "page/panels/dpi_panel.h"

#include "page/controls.h"
#include "page/panels/every_slot.h"

namespace tvq {

void DpiPanel::refresh(const Profile& current) {
    const ModeSettings& m = modeOf(current);
    showStage(m.dpiStage);
    for (std::size_t k = 0; k < layout::mode::kDpiStageCount; ++k) {
        view_.setSliderValue(numbered(control::kSliderDpi, k + 1), m.dpiValue[k]);
        view_.setText(numbered(control::kLabelDpi, k + 1), std::to_string(shownDpi(m.dpiValue[k])));
        view_.setBackgroundColor(numbered(control::kDpiColor, k + 1), shownColor(m.dpiColor[k]));
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
        events.onClick(numbered(control::kDpiColor, k + 1), [this, k] { pickColour(k); });
    }
}

void DpiPanel::selectStage(std::size_t stage) {
    editEverySlot(session_, &ModeSettings::dpiStage, static_cast<std::int32_t>(stage));
}

void DpiPanel::setValue(std::size_t stage, int position) {
    session_.edit(
        [stage, position](Profile& p) {
            writeAllSlots(p, [stage, position](ModeSettings& m) { m.dpiValue[stage] = position; });
        },
        AfterEdit::kApply, kSliderSettleMs);
    view_.setText(numbered(control::kLabelDpi, stage + 1), std::to_string(shownDpi(position)));
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
