#include "page/settings_page.h"

#include "base/constants.h"
#include "base/debug.h"
#include "base/text.h"
#include "device/ble_link.h"

namespace tvq {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The number after `prefix` in a numbered control name, 1..last; 0 otherwise.
int numberOf(std::string_view control, std::string_view prefix, int last) {
    if (!startsWith(control, prefix)) {
        return 0;
    }
    const std::string_view digits = control.substr(prefix.size());
    if (digits.empty() || digits.size() > 2 || digits.front() == '0') {
        return 0;
    }
    int n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return 0;
        }
        n = n * 10 + (c - '0');
    }
    return n <= last ? n : 0;
}

void addNumbered(std::vector<std::string>& names, const char* prefix, int count) {
    for (int n = 1; n <= count; ++n) {
        names.push_back(prefix + std::to_string(n));
    }
}

}  // namespace

const std::vector<std::string>& pageControlNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        addNumbered(n, control::kKeyButton, control::kKeyButtonCount);
        addNumbered(n, control::kKeyOverlay, control::kKeyButtonCount);
        addNumbered(n, control::kOptionButtonMode, control::kButtonModeOptionCount);
        for (const char* c :
             {"ms_1_btn_macro", control::kListProfile, "ms_1_profile_add_btn",
              "ms_1_profile_delete_btn", "ms_1_profile_rename_btn", "ms_1_profile_import_btn",
              "ms_1_profile_export_btn", "ms_1_profile_reset_btn", control::kWired,
              control::kWireless, control::kBle}) {
            n.emplace_back(c);
        }
        for (const SectionToggle& t : kSectionToggles) {
            n.emplace_back(t.check);
        }
        for (const SectionToggle& t : kSectionToggles) {
            n.emplace_back(t.panel);
        }
        addNumbered(n, control::kSliderDpi, control::kDpiStageControlCount);
        addNumbered(n, control::kLabelDpi, control::kDpiStageControlCount);
        addNumbered(n, control::kOptionDpiStep, control::kDpiStageControlCount);
        addNumbered(n, control::kDpiColor, control::kDpiStageControlCount);
        for (const char* c :
             {control::kComboLight, control::kComboLightBle, control::kHorBrightness,
              control::kHorBreathSpeed, control::kHorLightColor, control::kSliderBrightness,
              control::kSliderBreathSpeed, control::kLightColor}) {
            n.emplace_back(c);
        }
        addNumbered(n, control::kOptionPrate, control::kPrateOptionCount);
        for (const char* c : {control::kLabelPrate, "ms_1_btn_mouse_attribute",
                              control::kSliderSleep, control::kLabelSleep, "ms_1_check_movemode",
                              control::kApplyButton, control::kProgressPower, control::kLabelPower,
                              "ms_1_low_power_label", control::kSleepLabel}) {
            n.emplace_back(c);
        }
        n.emplace_back(control::kApplyRing);  // shown while an apply runs
        return n;
    }();
    return names;
}

SettingsPage::SettingsPage(SettingsPageView& view, const TextSource& texts, const KeyNames& keys,
                           const DataLocation& location, BleControl* ble, FrameWriter* bleWriter)
    : view_(view),
      store_(location, texts),
      macros_(location, texts),
      panels_(view, texts, keys),
      link_(view, texts, store_, ble, bleWriter) {}

SettingsPage::~SettingsPage() {
    link_.shutdown();
}

void SettingsPage::bindControls(LibraryLoader& loader, const std::string& programFolder,
                                MessageWindow* window, bool bleFound) {
    view_.setVisible(control::kCheckPowerSetting, false);
    view_.setVisible(control::kVerPowerSetting, false);
    // The probe posts WM_CONNECTION_CHANGED once it knows the links.
    link_.start(loader, programFolder, window, bleFound);
}

void SettingsPage::loadProfiles() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    store_.load(macros_);
    for (const auto& profile : store_.profiles()) {
        view_.appendListRow(control::kListProfile, utf8FromUtf16(fieldText(profile->name)));
    }
    view_.selectItem(control::kListProfile, store_.currentIndex());
    // The stored row was selected quietly, so there is no notification left
    // to absorb: the user's first click on the list must count.
    ignoreNextListSelection_ = false;
    link_.presence().setBleConnected(link_.links().ble());
    refreshPage();
}

void SettingsPage::onBleConnection(bool connected) {
    if (connected && link_.links().ble()) {
        return;
    }
    link_.presence().setBleConnected(connected);
}

void SettingsPage::onBleNotification(std::span<const std::uint8_t> value) {
    if (const auto report = BleLink::decodeNotification(value)) {
        link_.onBleReport(report->code, report->value);
    }
}

void SettingsPage::onProfileListSelect(int index) {
    if (ignoreNextListSelection_) {
        ignoreNextListSelection_ = false;
        return;
    }
    if (!store_.select(index)) {
        debug::write("profile list: no row " + std::to_string(index) + "\n");
        return;
    }
    refreshPage();
    view_.postMessage(msg::kApplyRequest, 0, 0);
}

void SettingsPage::refreshPage() {
    panels_.refreshPage(store_.current(), [this] { link_.presence().refreshModePanels(); });
}

void SettingsPage::updateLightRows() {
    if (const Profile* current = store_.current()) {
        panels_.updateLightRows(modeOf(*current).lightMode);
    }
}

void SettingsPage::onClick(std::string_view control) {
    if (control == control::kApplyButton) {
        view_.postMessage(msg::kApplyRequest, 0, 0);
    }
}

void SettingsPage::onCheckClick(std::string_view control, bool checked) {
    for (const SectionToggle& t : kSectionToggles) {
        if (control == t.check) {
            view_.setVisible(t.panel, checked);
            return;
        }
    }
}

void SettingsPage::onItemSelect(std::string_view control, int index) {
    if (control == control::kListProfile) {
        onProfileListSelect(index);
    }
}

void SettingsPage::onTimer(std::string_view control, int id) {
    if (control == control::kProgressPower && id == timer::kChargeAnimation) {
        panels_.chargeAnimationTick();
    }
}

void SettingsPage::showKeyOverlay(std::string_view control) {
    if (const int k = numberOf(control, control::kKeyButton, control::kKeyButtonCount)) {
        view_.setVisible(control::kKeyOverlay + std::to_string(k), true);
    }
}

void SettingsPage::hideKeyOverlay(std::string_view control) {
    if (const int k = numberOf(control, control::kKeyButton, control::kKeyButtonCount)) {
        view_.setVisible(control::kKeyOverlay + std::to_string(k), false);
    }
}

std::int32_t SettingsPage::anyConnected() const {
    return link_.links().anyConnected.load();
}

void SettingsPage::requestApply(std::uintptr_t, std::intptr_t) {
    link_.requestApply();
}

void SettingsPage::assignFunction(const std::string& itemName) {
    // The button-function menus are not offered yet; nothing sends a choice.
    debug::write("function menu item " + itemName + " not handled\n");
}

}  // namespace tvq
