#include "page/panels/dpi_panel.h"

#include "page/controls.h"

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

}  // namespace tvq
