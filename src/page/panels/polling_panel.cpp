#include "page/panels/polling_panel.h"

#include "page/controls.h"

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

}  // namespace tvq
