#include "page/panels/system_mouse_panel.h"

#include "page/controls.h"
#include "page/panels/every_slot.h"

namespace tvq {

bool SystemMousePanel::onCheckClick(std::string_view control, bool checked) {
    if (control != control::kCheckMoveMode) {
        return false;
    }
    editEverySlot(session_, &ModeSettings::movementMode, checked ? 1 : 0);
    return true;
}

bool SystemMousePanel::onClick(std::string_view control) {
    if (control != control::kMouseAttribute) {
        return false;
    }
    if (dialogs_ != nullptr) {
        dialogs_->openDesktopMouseSettings();
    }
    return true;
}

}  // namespace tvq
