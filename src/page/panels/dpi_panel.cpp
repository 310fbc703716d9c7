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

bool DpiPanel::onSelectChanged(std::string_view control) {
    const int n = controlNumber(control, control::kOptionDpiStep, control::kDpiStageControlCount);
    if (n == 0) {
        return false;
    }
    editEverySlot(session_, &ModeSettings::dpiStage, n - 1);
    return true;
}

bool DpiPanel::onValueChanged(std::string_view control, int position) {
    const int k = controlNumber(control, control::kSliderDpi, control::kDpiStageControlCount);
    if (k == 0) {
        return false;
    }
    const auto stage = static_cast<std::size_t>(k - 1);
    session_.edit(
        [stage, position](Profile& p) {
            writeAllSlots(p, [stage, position](ModeSettings& m) { m.dpiValue[stage] = position; });
        },
        AfterEdit::kApply, kSliderSettleMs);
    view_.setText(numbered(control::kLabelDpi, stage + 1), std::to_string(shownDpi(position)));
    return true;
}

bool DpiPanel::onClick(std::string_view control) {
    const int k = controlNumber(control, control::kDpiColor, control::kDpiStageControlCount);
    if (k == 0) {
        return false;
    }
    const Profile* current = session_.profiles().current();
    if (current == nullptr || dialogs_ == nullptr) {
        return true;
    }
    const auto stage = static_cast<std::size_t>(k - 1);
    // Every slot holds the same colour; slot 0's is the one shown.
    const auto chosen =
        dialogs_->pickColour(control, shownColor(current->modes[0].dpiColor[stage]));
    if (!chosen) {
        return true;
    }
    const std::uint32_t stored = storedColor(*chosen);
    session_.edit(
        [stage, stored](Profile& p) {
            writeAllSlots(p, [stage, stored](ModeSettings& m) { m.dpiColor[stage] = stored; });
        },
        AfterEdit::kApply);
    view_.setBackgroundColor(control, shownColor(stored));
    return true;
}

}  // namespace tvq
