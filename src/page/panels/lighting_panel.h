// The lighting panel: the effect on the receiver and cable and on Bluetooth
// LE, brightness, breathing speed and colour, and the rows each effect uses.
#pragma once

#include "page/page_view.h"
#include "profiles/profile.h"

namespace tvq {

class LightingPanel {
  public:
    explicit LightingPanel(PageView& view) : view_(view) {}

    void refresh(const Profile& current);
    // Brightness for effect 1, breathing speed for 2..11, colour for 1 and 2.
    void updateRows(std::int32_t lightMode);

  private:
    PageView& view_;
};

}  // namespace tvq
