// The settings panels together: what they show of a profile. Each panel
// fills its own controls; nothing here raises a notification.
#pragma once

#include <cstdint>
#include <functional>

#include "base/text_source.h"
#include "input/key_names.h"
#include "page/page_dialogs.h"
#include "page/page_view.h"
#include "page/panels/buttons_panel.h"
#include "page/panels/dpi_panel.h"
#include "page/panels/lighting_panel.h"
#include "page/panels/polling_panel.h"
#include "page/panels/profile_list_panel.h"
#include "page/panels/sleep_power_panel.h"
#include "page/panels/system_mouse_panel.h"
#include "profiles/profile.h"

namespace tvq {

class SettingsPanels {
  public:
    // `dialogs` opens the colour picker and the desktop's mouse settings;
    // without it those buttons do nothing.
    // `selectProfile` and `refreshPage` are the page's selection rule and
    // refresh.
    SettingsPanels(ListPageView& view, const TextSource& texts, const KeyNames& keys,
                   MouseSession& session, PageDialogs* dialogs,
                   std::function<void(int)> selectProfile = nullptr,
                   std::function<void()> refreshPage = nullptr)
        : profileList(view, session, dialogs, std::move(selectProfile), std::move(refreshPage)),
          buttons(view, texts, keys, session, dialogs),
          dpi(view, session, dialogs),
          lighting(view, session, dialogs),
          polling(view, session),
          sleepPower(view, texts, session),
          systemMouse(session, dialogs) {}

    // Fills every control from the active slot of `current` (nothing when it
    // is null). `refreshModePanels` runs first: the link-dependent visibility,
    // which includes the lighting rows.
    void refreshPage(const Profile* current, const std::function<void()>& refreshModePanels);

    ProfileListPanel profileList;
    ButtonsPanel buttons;
    DpiPanel dpi;
    LightingPanel lighting;
    PollingPanel polling;
    SleepPowerPanel sleepPower;
    SystemMousePanel systemMouse;
};

}  // namespace tvq
