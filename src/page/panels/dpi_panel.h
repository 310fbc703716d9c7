// The DPI stages panel: the active stage, and each stage's value, colour and
// whether it is in the cycle of the mouse's DPI button. A stage out of the
// cycle is shown as such, its controls inactive; values start at one step
// (40 DPI): a stage is never set to 0.
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
    // A stage's slider: its value in every mode slot and the value shown,
    // sent once the slider has rested for kSliderSettleMs.
    void setValue(std::size_t stage, int position);
    // A stage's value typed or stepped in DPI: as the slider at the nearest
    // step of 40 DPI.
    void typeValue(std::size_t stage, int dpi);
    // A stage's colour button: the colour picker; a chosen colour is stored
    // and sent, a cancelled one changes nothing.
    void pickColour(std::size_t stage);
    // A stage's switch: into the cycle or out of it, in every mode slot,
    // sent at once. The last stage in the cycle stays in, and the user is
    // told; an active stage taken out gives way to the first one left.
    void setInCycle(std::size_t stage, bool in);

    // The smallest and largest stored values a stage can be given.
    static constexpr int kMinValue = 1;
    static constexpr int kMaxValue = 200;
    // What the value beside a slider can show (as its layout's maximum).
    static constexpr int kLargestShownDpi = 99999;

  private:
    // The stage's controls active or not, and its switch, as stored.
    void showInCycle(std::size_t stage, bool in);
    // The stage's value in DPI beside its slider.
    void showValue(std::size_t stage, std::int32_t stored);

    PageView& view_;
    MouseSession& session_;
    PageDialogs* dialogs_;
};

}  // namespace tvq
