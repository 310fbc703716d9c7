// The mouse panel: the movement-mode box and the button that opens the
// desktop's own mouse settings. The box is written from the user's click
// only: a refresh leaves it as it is.
#pragma once

#include <string_view>

#include "page/page_dialogs.h"
#include "page/page_view.h"
#include "profiles/profile.h"
#include "session/mouse_session.h"

namespace tvq {

class SystemMousePanel {
  public:
    SystemMousePanel(MouseSession& session, PageDialogs* dialogs)
        : session_(session), dialogs_(dialogs) {}

    void refresh(const Profile&) {}

    // The movement-mode box: 1 checked, 0 not, in every mode slot, sent at
    // once. The settings button opens the desktop's mouse settings; nothing
    // in the profile changes.
    void bind(ControlEvents& events);

  private:
    MouseSession& session_;
    PageDialogs* dialogs_;
};

}  // namespace tvq
