#include "page/settings_panels.h"

namespace tvq {

void SettingsPanels::refreshPage(const Profile* current,
                                 const std::function<void()>& refreshModePanels) {
    if (current == nullptr) {
        return;
    }
    if (refreshModePanels) {
        refreshModePanels();
    }
    buttons.refresh(*current);
    dpi.refresh(*current);
    lighting.refresh(*current);
    polling.refresh(*current);
    sleepPower.refresh(*current);
    systemMouse.refresh(*current);
}

}  // namespace tvq
