#include "page/settings_page.h"

#include <algorithm>

#include "base/debug.h"
#include "base/text.h"
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
          view, texts, session.links(), session.link().state(), panels_,
          [this] { return session_.profiles().current(); }, [this] { refreshPage(); }),
      follower_(session.scheduler(), session.profiles(),
                [this](int row) { selectProfile(row, false); }) {
    session_.link().setObserver(&presenter_);
    session_.link().state().addObserver(&presenter_);
    panels_.profileList.setNameEvents({
        .renamed =
            [this](std::u16string_view from, std::u16string_view to) {
                follower_.profileRenamed(from, to);
                tellProfileChanged();
            },
        .removed = [this](std::u16string_view name) { follower_.profileRemoved(name); },
    });
}

SettingsPage::~SettingsPage() {
    session_.link().state().removeObserver(&presenter_);
    session_.link().setObserver(nullptr);
}

void SettingsPage::bindControls() {
    bind();
    view_.setVisible(control::kCheckPowerSetting, false);
    view_.setVisible(control::kVerPowerSetting, false);
}

void SettingsPage::controlsAdded() {
    bindControls();  // the view binds each control once
    showClosedSections();
    if (loaded_) {
        refreshPage();
    }
}

void SettingsPage::showProfiles(const ProfileStore::LoadReport& report) {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    panels_.profileList.show();
    // The stored row was selected quietly, so there is no notification left
    // to absorb: the user's first click on the list must count.
    ignoreNextListSelection_ = false;
    refreshPage();
    presenter_.showPresence();
    follower_.pickedByHand();
    tellProfileChanged();
    // Once, for this start: the damaged file is kept and the next start
    // finds a clean store.
    if (dialogs_ != nullptr && report.overLimit) {
        dialogs_->tell("profiles_over_limit_text",
                       {std::to_string(session_.profiles().maxProfiles()), report.keptDamagedAs});
    } else if (dialogs_ != nullptr && report.macrosOverLimit) {
        dialogs_->tell("macros_over_limit_text",
                       {std::to_string(session_.macros().maxMacros()), report.macrosKeptDamagedAs});
    } else if (dialogs_ != nullptr && (!report.keptDamagedAs.empty() || report.damagedNotKept ||
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

void SettingsPage::selectProfile(int index, bool byHand) {
    if (!session_.profiles().select(index)) {
        debug::write("profile list: no row " + std::to_string(index) + "\n");
        return;
    }
    ignoreNextListSelection_ = false;
    view_.selectItem(control::kListProfile, index);
    refreshPage();
    session_.requestApply();
    if (byHand) {
        follower_.pickedByHand();
    }
    tellProfileChanged();
}

bool SettingsPage::selectProfileNamed(std::u16string_view name) {
    const std::int32_t row = session_.profiles().rowOf(name);
    if (row < 0) {
        return false;
    }
    selectProfile(row);
    return true;
}

void SettingsPage::refreshPage() {
    panels_.refreshPage(session_.profiles().current(), [this] { presenter_.refreshModePanels(); });
}

void SettingsPage::keepSectionsClosed(
    const std::vector<std::string>& closed,
    std::function<void(const std::vector<std::string>&)> changed) {
    closedSections_.clear();
    for (const SectionToggle& t : kSectionToggles) {
        if (std::find(closed.begin(), closed.end(), t.section) != closed.end()) {
            closedSections_.push_back(t.section);
        }
    }
    showClosedSections();
    sectionsChanged_ = std::move(changed);
}

void SettingsPage::showClosedSections() {
    for (const SectionToggle& t : kSectionToggles) {
        if (std::find(closedSections_.begin(), closedSections_.end(), t.section) !=
            closedSections_.end()) {
            view_.setChecked(t.check, false);
            view_.setVisible(t.section, false);
        }
    }
}

void SettingsPage::bind() {
    // Every edit is written at once; the button writes everything again.
    view_.onClick(control::kApplyButton, [this] { session_.requestWholeApply(); });
    view_.onClick(control::kMacroButton, [this] { openMacroEditor(); });
    view_.onItemChosen(control::kListProfile, [this](int row) { onProfileListSelect(row); });
    for (const SectionToggle& t : kSectionToggles) {
        const std::string section = t.section;
        view_.onToggle(t.check, [this, section](bool open) {
            view_.setVisible(section, open);
            std::erase(closedSections_, section);
            if (!open) {
                closedSections_.push_back(section);
            }
            if (sectionsChanged_) {
                sectionsChanged_(closedSections_);
            }
        });
    }
    for (int n = 1; n <= control::kButtonModeOptionCount; ++n) {
        view_.onOptionSelected(numbered(control::kOptionButtonMode, static_cast<std::size_t>(n)),
                               [this, n] { chooseButtonMode(n - 1); });
    }
    panels_.profileList.bind(view_);
    panels_.buttons.bind(view_);
    panels_.dpi.bind(view_);
    panels_.lighting.bind(view_);
    panels_.polling.bind(view_);
    panels_.sleepPower.bind(view_);
    panels_.systemMouse.bind(view_);
}

void SettingsPage::chooseButtonMode(int mode) {
    // The button mode picks the mode slot the page shows.
    if (session_.edit([mode](Profile& p) { p.buttonMode = mode; }, AfterEdit::kApply)) {
        refreshPage();
    }
}

void SettingsPage::openMacroEditor() {
    // The buttons bound to a macro follow what the editor changed.
    if (dialogs_ != nullptr) {
        dialogs_->openMacroEditor(panels_.buttons);
        panels_.buttons.syncMacroBindings();
    }
}

}  // namespace tvq
