// The mouse's state as the program knows it, kept once: the link that
// writes, the battery, charging, sleep and the DPI stage it switched to.
// The link's parts report to it (it hears their events first); the page,
// the tray, the notifications and the session-bus object each follow it
// through their own observer. User-interface thread.
#pragma once

#include <cstdint>
#include <vector>

#include "device/link_events.h"
#include "device/link_state.h"
#include "device/mouse_status.h"

namespace tvq {

class MouseStateObserver {
  public:
    virtual ~MouseStateObserver() = default;
    // The link that writes, the battery, charging or sleep changed.
    virtual void mouseStateChanged(const MouseStatus& /*status*/) {}
    // The mouse switched DPI stage (0..7) by itself; `dpiValue` is the
    // stage's value in 40-DPI steps.
    virtual void dpiStageSwitched(int /*stage*/, std::int32_t /*dpiValue*/) {}
};

class MouseState final : public LinkObserver {
  public:
    explicit MouseState(const LinkState& links) : links_(links) {}

    // As the tray and the desktop show it: with no link, no battery.
    const MouseStatus& status() const { return status_; }
    // Whether the mouse said it sleeps (whatever the links).
    bool asleep() const { return asleep_; }

    // Observers are told of each change from now on, in the order they
    // came; each must be removed before it goes.
    void addObserver(MouseStateObserver* observer);
    void removeObserver(MouseStateObserver* observer);

    // What the link's parts report.
    void linksChanged(LinkChange change, bool presenceChanged) override;
    void chargingChanged(bool charging) override;
    void batteryReported(int percent) override;
    void sleepChanged(bool asleep) override;
    void dpiStageReported(int stage, std::int32_t dpiValue) override;

  private:
    void publish();

    const LinkState& links_;
    int battery_ = 0;  // as last reported on this connection; 0 unknown
    bool charging_ = false;
    bool asleep_ = false;
    MouseStatus status_;  // as the observers were last told
    std::vector<MouseStateObserver*> observers_;
};

}  // namespace tvq
