// The polling-rate panel: four options and the label of the chosen rate.
#pragma once

#include <string_view>

#include "page/page_view.h"
#include "profiles/profile.h"
#include "session/mouse_session.h"

namespace tvq {

class PollingPanel {
  public:
    PollingPanel(PageView& view, MouseSession& session) : view_(view), session_(session) {}

    // A rate 0..3 selects its option and names it in the label; any other
    // value selects no option and leaves the label as it is.
    void refresh(const Profile& current) { showRate(modeOf(current).pollingRate); }
    void showRate(std::int32_t pollingRate);

    // Binds the four options.
    void bind(ControlEvents& events);
    // A rate 0..3 chosen: stored, named in the label and sent at once.
    void chooseRate(int rate);

  private:
    PageView& view_;
    MouseSession& session_;
};

}  // namespace tvq
