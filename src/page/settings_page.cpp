#include "page/settings_page.h"

#include "base/debug.h"
#include "page/controls.h"

namespace tvq {

SettingsPage::SettingsPage(ListPageView& view, const TextSource& texts, const KeyNames& keys,
                           MouseSession& session, PageDialogs* dialogs)
    : view_(view),
      session_(session),
      dialogs_(dialogs),
      panels_(
          view, texts, keys, session, dialogs, [this](int row) { selectProfile(row); },
          [this] { refreshPage(); }),
      presenter_(
          view, session.links(), panels_, [this] { return session_.profiles().current(); },
          [this] { refreshPage(); }) {
    session_.link().setObserver(&presenter_);
}

SettingsPage::~SettingsPage() {
    session_.link().setObserver(nullptr);
}

void SettingsPage::bindControls(LibraryLoader& loader, const std::string& programFolder,
                                MessageWindow* window, bool bleFound) {
    view_.setVisible(control::kCheckPowerSetting, false);
    view_.setVisible(control::kVerPowerSetting, false);
    // The probe tells the presenter, which posts WM_CONNECTION_CHANGED.
    session_.link().start(loader, programFolder, window, bleFound);
    if (!session_.link().librariesLoaded() && dialogs_ != nullptr) {
        dialogs_->tell("libraries_unusable_text");
    }
}

void SettingsPage::loadProfiles() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    const ProfileStore::LoadReport report = session_.load();
    panels_.profileList.show();
    // The stored row was selected quietly, so there is no notification left
    // to absorb: the user's first click on the list must count.
    ignoreNextListSelection_ = false;
    session_.link().announceBle();
    refreshPage();
    // Once, for this start: the damaged file is kept and the next start
    // finds a clean store.
    if (dialogs_ != nullptr && (!report.keptDamagedAs.empty() || report.damagedNotKept ||
                                !report.macrosKeptDamagedAs.empty())) {
        dialogs_->tell("store_damaged_text");
    }
    if (report.saveFailed || report.damagedNotKept) {
        presenter_.storeSaved(false);
    }
}

void SettingsPage::onProfileListSelect(int index) {
    if (ignoreNextListSelection_) {
        ignoreNextListSelection_ = false;
        return;
    }
    selectProfile(index);
}

void SettingsPage::selectProfile(int index) {
    if (!session_.profiles().select(index)) {
        debug::write("profile list: no row " + std::to_string(index) + "\n");
        return;
    }
    ignoreNextListSelection_ = false;
    view_.selectItem(control::kListProfile, index);
    refreshPage();
    session_.requestApply();
}

void SettingsPage::refreshPage() {
    panels_.refreshPage(session_.profiles().current(), [this] { presenter_.refreshModePanels(); });
}

void SettingsPage::onClick(std::string_view control) {
    if (control == control::kApplyButton) {
        session_.requestApply();
        return;
    }
    if (control == control::kMacroButton) {
        // The buttons bound to a macro follow what the editor changed.
        if (dialogs_ != nullptr) {
            dialogs_->openMacroEditor();
            panels_.buttons.syncMacroBindings();
        }
        return;
    }
    if (panels_.profileList.onClick(control) || panels_.buttons.onClick(control)) {
        return;
    }
    panels_.dpi.onClick(control) || panels_.lighting.onClick(control) ||
        panels_.systemMouse.onClick(control);
}

void SettingsPage::onCheckClick(std::string_view control, bool checked) {
    for (const SectionToggle& t : kSectionToggles) {
        if (control == t.check) {
            view_.setVisible(t.section, checked);
            return;
        }
    }
    panels_.systemMouse.onCheckClick(control, checked);
}

void SettingsPage::onItemSelect(std::string_view control, int index) {
    if (control == control::kListProfile) {
        onProfileListSelect(index);
        return;
    }
    panels_.lighting.onItemSelect(control, index);
}

void SettingsPage::onSelectChanged(std::string_view control) {
    if (const int n =
            controlNumber(control, control::kOptionButtonMode, control::kButtonModeOptionCount)) {
        // The button mode picks the mode slot the page shows: every control
        // is filled from the new slot.
        if (session_.edit([n](Profile& p) { p.buttonMode = n - 1; }, AfterEdit::kApply)) {
            refreshPage();
        }
        return;
    }
    panels_.dpi.onSelectChanged(control) || panels_.polling.onSelectChanged(control);
}

void SettingsPage::onValueChanged(std::string_view control, int position) {
    panels_.dpi.onValueChanged(control, position) ||
        panels_.lighting.onValueChanged(control, position) ||
        panels_.sleepPower.onValueChanged(control, position);
}

void SettingsPage::onTimer(std::string_view control, int id) {
    if (control == control::kProgressPower && id == timer::kChargeAnimation) {
        panels_.sleepPower.chargeAnimationTick();
    }
}

void SettingsPage::showKeyOverlay(std::string_view control) {
    panels_.buttons.showKeyOverlay(control, true);
}

void SettingsPage::hideKeyOverlay(std::string_view control) {
    panels_.buttons.showKeyOverlay(control, false);
}

void SettingsPage::assignFunction(const std::string& itemName) {
    panels_.buttons.assignFunction(itemName);
}

void SettingsPage::syncMacroBindings() {
    panels_.buttons.syncMacroBindings();
}

}  // namespace tvq
