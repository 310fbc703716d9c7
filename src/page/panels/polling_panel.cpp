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

void PollingPanel::bind(ControlEvents& events) {
    for (int n = 1; n <= control::kPrateOptionCount; ++n) {
        events.onOptionSelected(numbered(control::kOptionPrate, static_cast<std::size_t>(n)),
                                [this, n] { chooseRate(n - 1); });
    }
}

void PollingPanel::chooseRate(int rate) {
    editEverySlot(session_, &ModeSettings::pollingRate, rate);
    view_.setTextKey(control::kLabelPrate, "prate_" + std::to_string(rate + 1) + "_text");
}

}  // namespace tvq
