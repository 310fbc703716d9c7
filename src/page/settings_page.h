// The mouse settings page apart from its widgets: it owns the profiles, the
// macro library and the mouse's link, binds the page's controls, loads the
// profiles onto the list, follows the list's selection and routes the
// controls' notifications. The main window drives it through
// MainWindowPage; everything runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/data_folder.h"
#include "app/main_window_logic.h"
#include "base/text_source.h"
#include "device/mouse_link.h"
#include "input/key_names.h"
#include "macros/macro_store.h"
#include "page/page_view.h"
#include "page/settings_panels.h"
#include "profiles/profile_store.h"

namespace tvq {

// Every control the page binds, in the order it looks them up.
const std::vector<std::string>& pageControlNames();

// The section toggles and the panels they show and hide.
struct SectionToggle {
    const char* check;
    const char* panel;
};
inline constexpr SectionToggle kSectionToggles[] = {
    {"ms_1_check_button", "ms_1_hor_button"},
    {"ms_1_check_profile", "ms_1_ver_profile"},
    {"ms_1_check_power", "ms_1_ver_power"},
    {"ms_1_check_dpi", "ms_1_hor_dpi"},
    {"ms_1_check_light", "ms_1_ver_light"},
    {"ms_1_check_prate", "ms_1_ver_prate"},
    {"ms_1_check_mouse_attribute", "ms_1_ver_mouse_attribute"},
    {"ms_1_check_power_setting", "ms_1_ver_power_setting"},
};

// The page's view with its list: rows are added to the profile list as
// plain text rows.
class SettingsPageView : public PageView {
  public:
    virtual void appendListRow(std::string_view list, std::string_view text) = 0;
};

class SettingsPage final : public MainWindowPage {
  public:
    SettingsPage(SettingsPageView& view, const TextSource& texts, const KeyNames& keys,
                 const DataLocation& location, BleControl* ble = nullptr,
                 FrameWriter* bleWriter = nullptr);
    ~SettingsPage() override;
    SettingsPage(const SettingsPage&) = delete;
    SettingsPage& operator=(const SettingsPage&) = delete;

    // Set-up, once the layout is built: hides the power-setting section,
    // starts the worker and the links (their libraries post to `window`)
    // and posts WM_CONNECTION_CHANGED. `bleFound`: the Bluetooth LE probe.
    void bindControls(LibraryLoader& loader, const std::string& programFolder,
                      MessageWindow* window, bool bleFound);

    // Reads the stores, shows one row per profile, selects the stored one
    // without a notification and shows it.
    void loadProfiles();

    // Notifications of the page's controls, by sender.
    void onClick(std::string_view control);
    void onCheckClick(std::string_view control, bool checked);
    void onItemSelect(std::string_view control, int index);
    void onTimer(std::string_view control, int id);
    void showKeyOverlay(std::string_view control);
    void hideKeyOverlay(std::string_view control);

    // The mouse over Bluetooth LE: connected or gone (a second arrival while
    // connected is ignored; a removal is always processed), and a notified
    // value.
    void onBleConnection(bool connected);
    void onBleNotification(std::span<const std::uint8_t> value);

    // The list's selection rule.
    void onProfileListSelect(int index);

    // Refreshes, as the view asks for them.
    void refreshPage();
    void updateLightRows();
    void resetChargeAnimation() { panels_.resetChargeAnimation(); }

    // MainWindowPage
    void onWiredEvent(std::uint32_t word) override { link_.onWiredEvent(word); }
    void onReceiverEvent(std::uint32_t word) override { link_.onReceiverEvent(word); }
    std::int32_t anyConnected() const override;
    void requestApply(std::uintptr_t wParam, std::intptr_t lParam) override;
    void onWatchdog() override { link_.onWatchdog(); }
    void assignFunction(const std::string& itemName) override;

    ProfileStore& store() { return store_; }
    MacroStore& macros() { return macros_; }
    MouseLink& link() { return link_; }
    bool ignoringNextListSelection() const { return ignoreNextListSelection_; }

  private:
    SettingsPageView& view_;
    ProfileStore store_;
    MacroStore macros_;
    SettingsPanels panels_;
    MouseLink link_;
    bool ignoreNextListSelection_ = true;
    bool loaded_ = false;
};

}  // namespace tvq
