// The polling-rate panel: four options and the label of the chosen rate.
#pragma once

#include "page/page_view.h"
#include "profiles/profile.h"

namespace tvq {

class PollingPanel {
  public:
    explicit PollingPanel(PageView& view) : view_(view) {}

    // A rate 0..3 selects its option and names it in the label; any other
    // value selects no option and leaves the label as it is.
    void refresh(const Profile& current) { showRate(modeOf(current).pollingRate); }
    void showRate(std::int32_t pollingRate);

  private:
    PageView& view_;
};

}  // namespace tvq
