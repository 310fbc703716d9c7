// The mouse settings page apart from its widgets: it has each panel bind its
// controls, shows the session's profiles on the list, follows the list's
// selection, the section toggles, the button mode and the apply and macro
// buttons. What the mouse's links report reaches the screen through the
// page's LinkPresenter. Everything runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_source.h"
#include "input/key_names.h"
#include "page/link_presenter.h"
#include "page/page_dialogs.h"
#include "page/page_view.h"
#include "page/profile_follower.h"
#include "page/settings_panels.h"
#include "session/mouse_session.h"

namespace tvq {

class SettingsPage final {
  public:
    // `dialogs` opens what the page needs besides its controls (colour
    // picker, the desktop's mouse settings); null leaves those out.
    SettingsPage(ListPageView& view, const TextSource& texts, const KeyNames& keys,
                 MouseSession& session, PageDialogs* dialogs = nullptr);
    ~SettingsPage();
    SettingsPage(const SettingsPage&) = delete;
    SettingsPage& operator=(const SettingsPage&) = delete;

    // Set-up, once the layout is built and before the session's links
    // start: binds every control's handler and hides the power-setting
    // section.
    void bindControls();
    // Controls found since the last call (or all, the first time): binds
    // them, and shows them as the page stands (the sections kept closed,
    // the profile's values once they are loaded).
    void controlsAdded();

    // Once the session has read its stores (`report`): shows one row per
    // profile, selects the stored one without a notification and shows it,
    // and tells what the read found wrong.
    void showProfiles(const ProfileStore::LoadReport& report);

    // The list's selection rule.
    void onProfileListSelect(int index);
    // Makes the profile at `index` the selected one: its row, every control,
    // and an apply. `byHand`: the user chose it (not an application rule),
    // so the focus comes back to it.
    void selectProfile(int index, bool byHand = true);
    // The same by name, letter case ignored; false when no profile has it.
    bool selectProfileNamed(std::u16string_view name);
    // The profiles that follow the application in focus.
    ProfileFollower& follower() { return follower_; }
    // `changed` runs whenever another profile is shown, or the shown one
    // renamed.
    void setProfileChanged(std::function<void()> changed) { profileChanged_ = std::move(changed); }

    void refreshPage();

    // Closes the sections named in `closed` (by their bodies' names) and
    // tells `changed` the closed ones whenever the user opens or closes one.
    void keepSectionsClosed(const std::vector<std::string>& closed,
                            std::function<void(const std::vector<std::string>&)> changed);

    // The button mode 0..1 picked on the page: every control is filled from
    // the new slot.
    void chooseButtonMode(int mode);
    // "Macros…": the macro editor; then the bindings follow the library.
    void openMacroEditor();
    SettingsPanels& panels() { return panels_; }

    MouseSession& session() { return session_; }
    LinkPresenter& presenter() { return presenter_; }

  private:
    void bind();
    void showClosedSections();
    void tellProfileChanged() {
        if (profileChanged_) {
            profileChanged_();
        }
    }

    ListPageView& view_;
    MouseSession& session_;
    PageDialogs* dialogs_;
    SettingsPanels panels_;
    LinkPresenter presenter_;
    ProfileFollower follower_;
    std::vector<std::string> closedSections_;
    std::function<void(const std::vector<std::string>&)> sectionsChanged_;
    std::function<void()> profileChanged_;
    bool ignoreNextListSelection_ = true;
    bool loaded_ = false;
};

}  // namespace tvq
