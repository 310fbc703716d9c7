#include "device/presence.h"

#include "base/constants.h"

namespace tvq {

void Presence::probe(MessageWindow* window, bool bleFound) {
    cable_.setVidPid(usb::kVendor, usb::kCableProduct);
    cable_.openMonitor(window, msg::kWiredData, msg::kWiredAttach);
    const bool wired = cable_.openFeature() != 0;
    links_.wiredState.store(wired ? kAttached : kNeverAttached);
    links_.deviceAsleep.store(wired ? 0 : 1);
    view_.setVisible(control::kSleepLabel, !wired);
    view_.setVisible(control::kWired, wired);
    if (wired) {
        startCharging();
    }

    receiver_.setVidPid(usb::kVendor, usb::kReceiverProduct);
    receiver_.openMonitor(window, msg::kReceiverData, msg::kReceiverAttach);
    const bool receiver = receiver_.openFeature() != 0;
    links_.receiverState.store(receiver ? kAttached : kNeverAttached);
    view_.setVisible(control::kWireless, receiver);
    if (receiver) {
        view_.startTimer(timer::kLinkWatchdog, timer::kLinkWatchdogMs);
    }

    links_.bleConnected.store(bleFound ? 1 : 0);
    links_.anyConnected.store(links_.anyLink() ? 1 : 0);
    view_.postMessage(msg::kConnectionChanged, 0, 0);
}

void Presence::postIfOnlyLink(bool otherLinkUp, bool connected) {
    if (!otherLinkUp) {
        links_.anyConnected.store(connected ? 1 : 0);
        view_.postMessage(msg::kConnectionChanged, 0, 0);
    }
}

void Presence::onWiredAttach(std::uint16_t event) {
    if (event == status::kAttached) {
        if (links_.wired() || wiredPending_) {
            return;
        }
        wiredPending_ = true;
        const unsigned generation = wiredGeneration_;
        view_.runLater(wait::kAttachSettleMs, [this, generation] {
            if (generation != wiredGeneration_) {
                return;  // detached while waiting
            }
            wiredPending_ = false;
            links_.wiredState.store(kAttached);
            cable_.openFeature();
            links_.deviceAsleep.store(0);
            view_.setVisible(control::kSleepLabel, false);
            view_.setVisible(control::kWired, true);
            refreshModePanels();
            startCharging();
            postIfOnlyLink(links_.receiver() || links_.ble(), true);
        });
    } else if (event == status::kDetached) {
        if (wiredPending_) {
            wiredPending_ = false;
            ++wiredGeneration_;
        }
        if (links_.wiredState.load() == kDetached) {
            return;
        }
        links_.wiredState.store(kDetached);
        cable_.closeFeature();
        links_.deviceAsleep.store(1);
        view_.setVisible(control::kSleepLabel, true);
        view_.setVisible(control::kWired, false);
        refreshModePanels();
        stopCharging();
        postIfOnlyLink(links_.receiver() || links_.ble(), false);
    }
}

void Presence::onReceiverAttach(std::uint16_t event) {
    if (event == status::kAttached) {
        if (links_.receiver() || receiverPending_) {
            return;
        }
        receiverPending_ = true;
        const unsigned generation = receiverGeneration_;
        view_.runLater(wait::kAttachSettleMs, [this, generation] {
            if (generation != receiverGeneration_) {
                return;
            }
            receiverPending_ = false;
            links_.receiverState.store(kAttached);
            view_.setVisible(control::kWireless, true);
            refreshModePanels();
            receiver_.openFeature();
            view_.startTimer(timer::kLinkWatchdog, timer::kLinkWatchdogMs);
            postIfOnlyLink(links_.wired() || links_.ble(), true);
        });
    } else if (event == status::kDetached) {
        if (receiverPending_) {
            receiverPending_ = false;
            ++receiverGeneration_;
        }
        if (links_.receiverState.load() == kDetached) {
            return;
        }
        links_.receiverState.store(kDetached);
        view_.setVisible(control::kWireless, false);
        receiver_.closeFeature();
        refreshModePanels();
        view_.stopTimer(timer::kLinkWatchdog);
        postIfOnlyLink(links_.wired() || links_.ble(), false);
    }
}

void Presence::setBleConnected(bool connected) {
    links_.bleConnected.store(connected ? 1 : 0);
    if (connected) {
        if (ble_ != nullptr) {
            ble_->setTags(usb::kBleVendorTag, usb::kBleProductTag);
            ble_->subscribeNotifications();
        }
        links_.deviceAsleep.store(0);
        view_.setVisible(control::kSleepLabel, false);
        view_.setVisible(control::kBle, true);
        refreshModePanels();
    } else {
        if (ble_ != nullptr) {
            ble_->clearTags();
        }
        view_.setVisible(control::kBle, false);
        if (links_.receiverLinkUp.load() == 0 && !links_.wired()) {
            view_.setVisible(control::kSleepLabel, true);
        }
    }
    postIfOnlyLink(links_.wired() || links_.receiver(), connected);
}

void Presence::refreshModePanels() {
    const bool receiverUp = links_.receiver() && links_.receiverLinkUp.load() == 1;
    if (links_.wired() || receiverUp) {
        view_.setVisible(control::kComboLight, true);
        view_.setVisible(control::kCheckPrate, true);
        view_.updateLightRows();
        view_.setVisible(control::kCheckPower, true);
        if (!links_.wired()) {
            view_.setVisible(control::kVerPower, true);
        }
    } else if (links_.ble()) {
        view_.setVisible(control::kComboLight, true);
        view_.updateLightRows();
        if (view_.isChecked(control::kCheckPrate)) {
            view_.setChecked(control::kCheckPrate, false);
        }
        view_.setVisible(control::kCheckPrate, false);
        if (view_.isVisible(control::kVerPrate)) {
            view_.setVisible(control::kVerPrate, false);
        }
        view_.setVisible(control::kCheckPower, false);
        view_.setVisible(control::kVerPower, false);
    }
}

void Presence::startCharging() {
    view_.setText(control::kLabelPower, texts_.text(textkeys::kCharging));
    view_.resetChargeAnimation();
    view_.startTimer(timer::kChargeAnimation, timer::kChargeAnimationMs);
}

void Presence::stopCharging() {
    view_.setText(control::kLabelPower, "");
    view_.stopTimer(timer::kChargeAnimation);
}

}  // namespace tvq
