// The profile list: one row per profile, the selected one highlighted, and
// its six operations: add, delete, rename, import, export and restore the
// defaults.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "page/page_dialogs.h"
#include "page/page_view.h"
#include "session/mouse_session.h"

namespace tvq {

// Told when a profile's name changes or a profile goes (what names
// profiles elsewhere follows).
struct ProfileNameEvents {
    std::function<void(std::u16string_view from, std::u16string_view to)> renamed;
    std::function<void(std::u16string_view name)> removed;
};

class ProfileListPanel {
  public:
    // `selectProfile` makes a profile the selected one, shows it and sends
    // it to the mouse; `refreshPage` fills every control from the selected
    // profile.
    ProfileListPanel(ListPageView& view, MouseSession& session, PageDialogs* dialogs,
                     std::function<void(int)> selectProfile, std::function<void()> refreshPage)
        : view_(view),
          session_(session),
          dialogs_(dialogs),
          selectProfile_(std::move(selectProfile)),
          refreshPage_(std::move(refreshPage)) {}

    // One row per profile of the session's store, the selected one selected
    // without a notification.
    void show();

    // Binds the six buttons.
    void bind(ControlEvents& events);
    void setNameEvents(ProfileNameEvents events) { nameEvents_ = std::move(events); }

    void addProfile();
    void deleteProfile();
    void renameProfile();
    void exportProfile();
    void importProfile();
    void restoreDefaults();

  private:
    // Tells the user when the store holds as many profiles as it may.
    bool refusedAtTheLimit();

    ListPageView& view_;
    MouseSession& session_;
    PageDialogs* dialogs_;
    std::function<void(int)> selectProfile_;
    std::function<void()> refreshPage_;
    ProfileNameEvents nameEvents_;
};

}  // namespace tvq
