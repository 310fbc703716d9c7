#include "page/link_presenter.h"

#include "base/text.h"
#include "page/controls.h"

namespace tvq {

void LinkPresenter::refreshModePanels() {
    const bool receiverUp = links_.receiver() && links_.receiverLinkUp.load() == 1;
    if (links_.wired() || receiverUp) {
        view_.setVisible(control::kComboLight, true);
        showSection(control::kCheckPrate, control::kVerPrate, true);
        updateLightRows();
        showSection(control::kCheckPower, control::kVerPower, true);
    } else if (links_.ble()) {
        view_.setVisible(control::kComboLight, true);
        updateLightRows();
        // Bluetooth LE has no polling rate; the section is back, as the user
        // left it, with the cable or the receiver.
        showSection(control::kCheckPrate, control::kVerPrate, false);
        // Its notifications bring the battery level as the receiver's do.
        showSection(control::kCheckPower, control::kVerPower, true);
    }
}

void LinkPresenter::showSection(const char* header, const char* body, bool available) {
    view_.setVisible(header, available);
    view_.setVisible(body, available && view_.isChecked(header));
}

void LinkPresenter::updateLightRows() {
    if (const Profile* current = current_()) {
        panels_.lighting.updateRows(modeOf(*current).lightMode);
    }
}

void LinkPresenter::linksChanged(LinkChange change, bool /*presenceChanged*/) {
    switch (change) {
        case LinkChange::kProbed:
            view_.setVisible(control::kWired, links_.wired());
            view_.setVisible(control::kWireless, links_.receiver());
            break;
        case LinkChange::kCableAttached:
        case LinkChange::kCableDetached:
            view_.setVisible(control::kWired, change == LinkChange::kCableAttached);
            refreshModePanels();
            break;
        case LinkChange::kReceiverAttached:
        case LinkChange::kReceiverLinkUp:
        case LinkChange::kReceiverDetached:
        case LinkChange::kReceiverLinkLost:
            view_.setVisible(control::kWireless, change == LinkChange::kReceiverAttached ||
                                                     change == LinkChange::kReceiverLinkUp);
            refreshModePanels();
            break;
        case LinkChange::kBleConnected:
            view_.setVisible(control::kBle, true);
            refreshModePanels();
            break;
        case LinkChange::kBleDisconnected:
            view_.setVisible(control::kBle, false);
            break;
    }
    showPresence();
}

void LinkPresenter::showPresence() {
    view_.setVisible(control::kNoMouseNote, links_.anyConnected.load() != 1);
    showSleep();
}

void LinkPresenter::mouseStateChanged(const MouseStatus& status) {
    // With no link the level is cleared: nothing reports it any more.
    panels_.sleepPower.showCharging(status.charging);
    panels_.sleepPower.showBattery(status.battery);
    showSleep();
    if (status.link != writingShownFor_) {
        writingShownFor_ = status.link;
        markWritingLink(status.link);
    }
}

void LinkPresenter::markWritingLink(MouseStatus::Link link) {
    // The link the settings go through stands out, and says so.
    for (const auto& [control, shown] :
         {std::pair{control::kWired, MouseStatus::Link::kCable},
          std::pair{control::kWireless, MouseStatus::Link::kReceiver},
          std::pair{control::kBle, MouseStatus::Link::kBluetooth}}) {
        const bool writing = link == shown;
        view_.setStyleState(control, writing ? "writing" : "");
        view_.setToolTipKey(control, writing ? "link_writing_text" : "link_standby_text");
    }
}

void LinkPresenter::showSleep() {
    // With no link at all the mouse is not asleep but away: the note says so.
    view_.setVisible(control::kSleepLabel, state_.asleep() && links_.anyLink());
}

void LinkPresenter::dpiStageReported(int stage, std::int32_t /*dpiValue*/) {
    panels_.dpi.showStage(stage);  // the DPI display follows the mouse's state
}

void LinkPresenter::buttonModeReported(int mode) {
    refreshPage_();
    panels_.buttons.showButtonMode(mode);
}

void LinkPresenter::pollingReported(int rate) {
    panels_.polling.showRate(rate);
}

void LinkPresenter::applyStarted() {
    framesSent_ = frameCount_ = 0;
    writingDue_->start(kWritingShownAfterMs);
}

void LinkPresenter::showWriting() {
    writingDue_->stop();
    writingShown_ = true;
    view_.setVisible(control::kApplyRing, true);
    showStatus("writing_text");
    showProgress();
}

void LinkPresenter::frameSent(std::size_t index, std::size_t count, std::uint8_t /*reportId*/,
                              SendOutcome /*outcome*/) {
    framesSent_ = index + 1;
    frameCount_ = count;
    showProgress();
}

void LinkPresenter::showProgress() {
    if (!writingShown_ || frameCount_ == 0) {
        return;
    }
    view_.setText(control::kApplyStatus,
                  formatText(texts_.text("writing_progress_text"),
                             {std::to_string(framesSent_), std::to_string(frameCount_)}));
    view_.setVisible(control::kApplyStatus, true);
}

std::string_view LinkPresenter::failureTextKey() const {
    switch (writingLink(links_)) {
        case MouseStatus::Link::kCable:
            return "apply_refused_cable_text";
        case MouseStatus::Link::kBluetooth:
            return "apply_refused_ble_text";
        default:
            return "apply_incomplete_text";  // the receiver: no answer
    }
}

void LinkPresenter::hideApplied() {
    appliedShown_->stop();
    if (appliedShowing_) {
        showStatus("");
    }
}

void LinkPresenter::applyFinished(const ApplyResult& result) {
    writingDue_->stop();
    writingShown_ = false;
    view_.setVisible(control::kApplyRing, false);
    if (!result.saved) {
        showStatus("store_save_failed_text", Tone::kFailed);
    } else if (!result.ran) {
        // Written by the link as soon as the mouse can take it.
        showStatus(links_.anyConnected.load() != 1 ? "saved_for_mouse_text"
                                                   : "saved_for_asleep_mouse_text");
    } else if (!result.complete()) {
        showStatus(failureTextKey(), Tone::kFailed);
    } else if (!result.selected) {
        showStatus("written_from_outside_text");
    } else {
        showStatus("applied_text", Tone::kDone);
        appliedShowing_ = true;
        appliedShown_->start(kAppliedShownMs);
    }
}

void LinkPresenter::storeSaved(bool written) {
    if (!written) {
        showStatus("store_save_failed_text", Tone::kFailed);
    } else if (shownKey_ == "store_save_failed_text") {
        showStatus("");  // saved after all; what else the line says stays
    }
}

void LinkPresenter::showStatus(std::string_view textKey, Tone tone) {
    shownKey_ = textKey;
    appliedShowing_ = false;
    appliedShown_->stop();
    if (!textKey.empty()) {
        view_.setTextKey(control::kApplyStatus, textKey);
    }
    view_.setStyleState(control::kApplyStatus, tone == Tone::kFailed ? "error"
                                               : tone == Tone::kDone ? "ok"
                                                                     : "");
    view_.setVisible(control::kApplyStatus, !textKey.empty());
}

}  // namespace tvq
