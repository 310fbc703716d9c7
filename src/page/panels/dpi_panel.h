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

    // Binds each stage's option, slider and colour button.
    void bind(ControlEvents& events);

    // The user's edits, for stage 0..7.
    // A stage's option: the active stage, sent at once.
    void selectStage(std::size_t stage);
    // A stage's slider: its value in every mode slot and the label, sent
    // once the slider has rested for kSliderSettleMs.
    void setValue(std::size_t stage, int position);
    // A stage's colour button: the colour picker; a chosen colour is stored
    // and sent, a cancelled one changes nothing.
    void pickColour(std::size_t stage);

  private:
    PageView& view_;
    MouseSession& session_;
    PageDialogs* dialogs_;
};

}  // namespace tvq
