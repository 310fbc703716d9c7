// The DPI stages panel: the active stage, and each stage's value and colour.
#pragma once

#include <string_view>

#include "page/page_dialogs.h"
#include "page/page_view.h"
#include "profiles/profile.h"
#include "session/mouse_session.h"

namespace tvq {

class DpiPanel {
  public:
    DpiPanel(PageView& view, MouseSession& session, PageDialogs* dialogs)
        : view_(view), session_(session), dialogs_(dialogs) {}

    void refresh(const Profile& current);
    // A stage 0..7 selects its option; any other value selects none.
    void showStage(std::int32_t stage);

    // The user's edits; false when `control` is not this panel's.
    // A stage's option: the active stage, sent at once.
    bool onSelectChanged(std::string_view control);
    // A stage's slider: its value in every mode slot and the label, sent
    // once the slider has rested for kSliderSettleMs.
    bool onValueChanged(std::string_view control, int position);
    // A stage's colour button: the colour picker; a chosen colour is stored
    // and sent, a cancelled one changes nothing.
    bool onClick(std::string_view control);

  private:
    PageView& view_;
    MouseSession& session_;
    PageDialogs* dialogs_;
};

}  // namespace tvq
