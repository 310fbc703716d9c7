#include "page/panels/system_mouse_panel.h"

#include "page/controls.h"
#include "page/panels/every_slot.h"

namespace tvq {

void SystemMousePanel::bind(ControlEvents& events) {
    events.onToggle(control::kCheckMoveMode, [this](bool checked) {
        editEverySlot(session_, &ModeSettings::movementMode, checked ? 1 : 0);
    });
    events.onClick(control::kMouseAttribute, [this] {
        if (dialogs_ != nullptr) {
            dialogs_->openDesktopMouseSettings();
        }
    });
}

}  // namespace tvq
