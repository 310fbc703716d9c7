// The mouse panel: the movement-mode box and the button that opens the
// desktop's own mouse settings. The box is written from the user's click
// only: a refresh leaves it as it is.
#pragma once

#include "page/page_view.h"
#include "profiles/profile.h"

namespace tvq {

class SystemMousePanel {
  public:
    explicit SystemMousePanel(PageView& view) : view_(view) {}

    void refresh(const Profile&) {}

  private:
    [[maybe_unused]] PageView& view_;
};

}  // namespace tvq
