// The buttons panel: the button-mode options, the 18 key buttons' texts and
// their hover overlays.
#pragma once

#include <cstddef>

#include "base/text_source.h"
#include "input/key_names.h"
#include "page/page_view.h"
#include "profiles/profile.h"

namespace tvq {

class ButtonsPanel {
  public:
    ButtonsPanel(PageView& view, const TextSource& texts, const KeyNames& keys)
        : view_(view), texts_(texts), keys_(keys) {}

    void refresh(const Profile& current);
    // The mode the mouse switched to: its option, when it has one.
    void showButtonMode(std::int32_t buttonMode);
    // The key button of one of the 18 buttons.
    void refreshKeyText(const Profile& current, std::size_t buttonIndex);
    // The overlay of key button "ms_1_btn_key_<n>"; other controls are ignored.
    void showKeyOverlay(std::string_view keyButton, bool shown);

  private:
    PageView& view_;
    const TextSource& texts_;
    const KeyNames& keys_;
};

}  // namespace tvq
