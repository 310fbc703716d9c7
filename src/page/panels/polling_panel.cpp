#include "page/panels/polling_panel.h"

#include "page/controls.h"
#include "page/panels/every_slot.h"

namespace tvq {

void PollingPanel::showRate(std::int32_t pollingRate) {
    if (pollingRate >= 0 && pollingRate <= 3) {
        const auto n = static_cast<std::size_t>(pollingRate) + 1;
        view_.selectOption(numbered(control::kOptionPrate, n));
        view_.setTextKey(control::kLabelPrate, "prate_" + std::to_string(n) + "_text");
    } else {
        view_.clearOptions(control::kOptionPrate, control::kPrateOptionCount);
    }
}

bool PollingPanel::onSelectChanged(std::string_view control) {
    const int n = controlNumber(control, control::kOptionPrate, control::kPrateOptionCount);
    if (n == 0) {
        return false;
    }
    editEverySlot(session_, &ModeSettings::pollingRate, n - 1);
    view_.setTextKey(control::kLabelPrate, "prate_" + std::to_string(n) + "_text");
    return true;
}

}  // namespace tvq
