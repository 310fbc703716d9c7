// The DPI stages panel: the active stage, and each stage's value and colour.
#pragma once

#include "page/page_view.h"
#include "profiles/profile.h"

namespace tvq {

class DpiPanel {
  public:
    explicit DpiPanel(PageView& view) : view_(view) {}

    void refresh(const Profile& current);
    // A stage 0..7 selects its option; any other value selects none.
    void showStage(std::int32_t stage);

  private:
    PageView& view_;
};

}  // namespace tvq
