#include "device/presence.h"

#include "device/device_ids.h"

namespace tvq {

void LinkWatchdog::arm() {
    armed_ = true;
    const unsigned generation = ++generation_;
    scheduler_.runLater(kLinkWatchdogMs, [this, generation] {
        if (armed_ && generation == generation_) {
            armed_ = false;
            expired_();
        }
    });
}

void Presence::tellLinksChanged(LinkChange change, bool presenceChanged) {
    links_.mouseMayHoldOther();
    events_->linksChanged(change, presenceChanged);
}

void Presence::probe(MessageWindow* window, bool bleFound) {
    cable_.setVidPid(usb::kVendor, usb::kCableProduct);
    cable_.openMonitor(window, msg::kWiredData, msg::kWiredAttach);
    const bool wired = cable_.openFeature() != 0;
    links_.wiredState.store(wired ? kAttached : kNeverAttached);
    links_.deviceAsleep.store(wired ? 0 : 1);
    events_->sleepChanged(!wired);
    if (wired) {
        events_->chargingChanged(true);
    }

    receiver_.setVidPid(usb::kVendor, usb::kReceiverProduct);
    receiver_.openMonitor(window, msg::kReceiverData, msg::kReceiverAttach);
    const bool receiver = receiver_.openFeature() != 0;
    links_.receiverState.store(receiver ? kAttached : kNeverAttached);
    if (receiver) {
        watchdog_.arm();
    }

    links_.bleConnected.store(bleFound ? 1 : 0);
    links_.anyConnected.store(links_.anyLink() ? 1 : 0);
    tellLinksChanged(LinkChange::kProbed, true);
}

bool Presence::updateAnyConnected(bool otherLinkUp, bool connected) {
    if (otherLinkUp) {
        return false;
    }
    links_.anyConnected.store(connected ? 1 : 0);
    return true;
}

void Presence::onWiredAttach(bool attached) {
    if (attached) {
        if (links_.wired() || wiredPending_) {
            return;
        }
        wiredPending_ = true;
        const unsigned generation = wiredGeneration_;
        scheduler_.runLater(kAttachSettleMs, [this, generation] {
            if (generation != wiredGeneration_) {
                return;  // detached while waiting
            }
            wiredPending_ = false;
            links_.wiredState.store(kAttached);
            cable_.openFeature();
            links_.deviceAsleep.store(0);
            events_->sleepChanged(false);
            const bool only = updateAnyConnected(links_.receiver() || links_.ble(), true);
            tellLinksChanged(LinkChange::kCableAttached, only);
            events_->chargingChanged(true);
        });
        return;
    }
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
    events_->sleepChanged(true);
    const bool only = updateAnyConnected(links_.receiver() || links_.ble(), false);
    tellLinksChanged(LinkChange::kCableDetached, only);
    events_->chargingChanged(false);
}

void Presence::onReceiverAttach(bool attached) {
    if (attached) {
        if (links_.receiver() || receiverPending_) {
            return;
        }
        receiverPending_ = true;
        const unsigned generation = receiverGeneration_;
        scheduler_.runLater(kAttachSettleMs, [this, generation] {
            if (generation != receiverGeneration_) {
                return;
            }
            receiverPending_ = false;
            links_.receiverState.store(kAttached);
            receiver_.openFeature();
            watchdog_.arm();
            const bool only = updateAnyConnected(links_.wired() || links_.ble(), true);
            tellLinksChanged(LinkChange::kReceiverAttached, only);
        });
        return;
    }
    if (receiverPending_) {
        receiverPending_ = false;
        ++receiverGeneration_;
    }
    if (links_.receiverState.load() == kDetached) {
        return;
    }
    links_.receiverState.store(kDetached);
    receiver_.closeFeature();
    watchdog_.disarm();
    const bool only = updateAnyConnected(links_.wired() || links_.ble(), false);
    tellLinksChanged(LinkChange::kReceiverDetached, only);
}

void Presence::setBleConnected(bool connected) {
    links_.bleConnected.store(connected ? 1 : 0);
    if (connected) {
        if (ble_ != nullptr) {
            ble_->setTags(usb::kBleVendorTag, usb::kBleProductTag);
            ble_->subscribeNotifications();
        }
        links_.deviceAsleep.store(0);
        events_->sleepChanged(false);
    } else {
        if (ble_ != nullptr) {
            ble_->clearTags();
        }
        if (links_.receiverLinkUp.load() == 0 && !links_.wired()) {
            events_->sleepChanged(true);
        }
    }
    const bool only = updateAnyConnected(links_.wired() || links_.receiver(), connected);
    tellLinksChanged(connected ? LinkChange::kBleConnected : LinkChange::kBleDisconnected, only);
}

}  // namespace tvq
