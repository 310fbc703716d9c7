// The mouse settings page apart from its widgets: it binds the page's
// controls, shows the session's profiles on the list, follows the list's
// selection and the section toggles, and routes the controls' notifications
// to the panels. What the mouse's links report reaches the screen through
// the page's LinkPresenter. Everything runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/main_window_logic.h"
#include "base/text_source.h"
#include "input/key_names.h"
#include "page/link_presenter.h"
#include "page/page_dialogs.h"
#include "page/page_view.h"
#include "page/settings_panels.h"
#include "session/mouse_session.h"

namespace tvq {

class SettingsPage final : public MainWindowPage {
  public:
    // `dialogs` opens what the page needs besides its controls (colour
    // picker, the desktop's mouse settings); null leaves those out.
    SettingsPage(ListPageView& view, const TextSource& texts, const KeyNames& keys,
                 MouseSession& session, PageDialogs* dialogs = nullptr);
    ~SettingsPage() override;
    SettingsPage(const SettingsPage&) = delete;
    SettingsPage& operator=(const SettingsPage&) = delete;

    // Set-up, once the layout is built: hides the power-setting section and
    // starts the session's links (their libraries post to `window`).
    // `bleFound`: the Bluetooth LE probe.
    void bindControls(LibraryLoader& loader, const std::string& programFolder,
                      MessageWindow* window, bool bleFound);

    // Reads the stores, shows one row per profile, selects the stored one
    // without a notification and shows it.
    void loadProfiles();

    // Notifications of the page's controls, by sender.
    void onClick(std::string_view control);
    void onCheckClick(std::string_view control, bool checked);
    void onItemSelect(std::string_view control, int index);
    void onSelectChanged(std::string_view control);
    void onValueChanged(std::string_view control, int position);
    void onTimer(std::string_view control, int id);
    void showKeyOverlay(std::string_view control);
    void hideKeyOverlay(std::string_view control);

    // The list's selection rule.
    void onProfileListSelect(int index);
    // Makes the profile at `index` the selected one: its row, every control,
    // and an apply.
    void selectProfile(int index);

    void refreshPage();

    // MainWindowPage
    void assignFunction(const std::string& itemName) override;
    // After the macro library changed: the bindings follow it.
    void syncMacroBindings();
    SettingsPanels& panels() { return panels_; }

    MouseSession& session() { return session_; }
    LinkPresenter& presenter() { return presenter_; }
    bool ignoringNextListSelection() const { return ignoreNextListSelection_; }

  private:
    ListPageView& view_;
    MouseSession& session_;
    PageDialogs* dialogs_;
    SettingsPanels panels_;
    LinkPresenter presenter_;
    bool ignoreNextListSelection_ = true;
    bool loaded_ = false;
};

}  // namespace tvq
