#include "device/mouse_state.h"

#include <algorithm>

namespace tvq {

void MouseState::addObserver(MouseStateObserver* observer) {
    if (observer != nullptr &&
        std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void MouseState::removeObserver(MouseStateObserver* observer) {
    std::erase(observers_, observer);
}

void MouseState::linksChanged(LinkChange, bool) {
    publish();
}

void MouseState::chargingChanged(bool charging) {
    charging_ = charging;
    publish();
}

void MouseState::batteryReported(int percent) {
    battery_ = percent;
    publish();
}

void MouseState::sleepChanged(bool asleep) {
    asleep_ = asleep;
    publish();
}

void MouseState::dpiStageReported(int stage, std::int32_t dpiValue) {
    // A copy: an observer may remove itself while it is told.
    const std::vector<MouseStateObserver*> told = observers_;
    for (MouseStateObserver* o : told) {
        o->dpiStageSwitched(stage, dpiValue);
    }
}

void MouseState::publish() {
    MouseStatus now;
    now.link = writingLink(links_);
    if (now.link == MouseStatus::Link::kNone) {
        // Nothing reports the battery now: the last level is not shown,
        // and is known again at the next report.
        battery_ = 0;
        charging_ = false;
    } else {
        now.battery = battery_;
        now.charging = charging_;
        now.asleep = asleep_;
    }
    if (now == status_) {
        return;
    }
    status_ = now;
    const std::vector<MouseStateObserver*> told = observers_;
    for (MouseStateObserver* o : told) {
        o->mouseStateChanged(status_);
    }
}

}  // namespace tvq
