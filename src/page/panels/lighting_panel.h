// The lighting panel: the effect on the receiver and cable and on Bluetooth
// LE, brightness, breathing speed and colour, and the rows each effect uses.
#pragma once

#include <string_view>

#include "page/page_dialogs.h"
#include "page/page_view.h"
#include "profiles/profile.h"
#include "session/mouse_session.h"

namespace tvq {

class LightingPanel {
  public:
    LightingPanel(PageView& view, MouseSession& session, PageDialogs* dialogs)
        : view_(view), session_(session), dialogs_(dialogs) {}

    void refresh(const Profile& current);
    // Brightness for effect 1, breathing speed for 2..11, colour for 1 and 2.
    void updateRows(std::int32_t lightMode);

    // Binds the effect combos, the two sliders and the colour button.
    void bind(ControlEvents& events);

    // The user's edits.
    // The effect combos: sent once the choice has rested for kListSettleMs.
    void chooseEffect(int index);
    void chooseBleEffect(int index);
    // Brightness and breathing speed: sent once the slider has rested.
    void setSlider(std::int32_t ModeSettings::*field, int position);
    // The colour button: the colour picker; the apply follows whether or not
    // a colour was chosen.
    void pickColour();

  private:
    PageView& view_;
    MouseSession& session_;
    PageDialogs* dialogs_;
};

}  // namespace tvq
