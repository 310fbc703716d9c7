// Which links to the mouse are up: the start-up probe, attach and detach of
// the cable and the receiver, the receiver's link watchdog and the Bluetooth
// LE connection. What changes is told to a LinkObserver.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "base/scheduler.h"
#include "device/feature_transport.h"
#include "device/link_events.h"
#include "device/link_state.h"

namespace tvq {

// An attach is trusted once it has lasted this long.
inline constexpr int kAttachSettleMs = 1000;
// The receiver's link counts as lost after this long without a heartbeat.
inline constexpr int kLinkWatchdogMs = 6000;

// The Bluetooth LE link as presence drives it.
class BleControl {
  public:
    virtual ~BleControl() = default;
    // Names the mouse to look for; empty tags make every write return 0.
    virtual void setTags(std::string_view vendorTag, std::string_view productTag) = 0;
    virtual void clearTags() = 0;
    virtual void subscribeNotifications() = 0;
};

// Runs `expired` once kLinkWatchdogMs pass without a re-arm. User-interface
// thread.
class LinkWatchdog {
  public:
    LinkWatchdog(Scheduler& scheduler, std::function<void()> expired)
        : scheduler_(scheduler), expired_(std::move(expired)) {}
    void arm();
    void disarm() {
        armed_ = false;
        ++generation_;
    }
    bool armed() const { return armed_; }

  private:
    Scheduler& scheduler_;
    std::function<void()> expired_;
    unsigned generation_ = 0;
    bool armed_ = false;
};

class Presence {
  public:
    Presence(LinkState& links, Scheduler& scheduler, ObserverSlot& events, LinkWatchdog& watchdog,
             FeatureTransport& cable, FeatureTransport& receiver, BleControl* ble = nullptr)
        : links_(links),
          scheduler_(scheduler),
          events_(events),
          watchdog_(watchdog),
          cable_(cable),
          receiver_(receiver),
          ble_(ble) {}

    // Start-up: configures and opens both libraries (their monitors post to
    // `window`) and records what was found. `bleFound` is the result of the
    // Bluetooth LE probe.
    void probe(MessageWindow* window, bool bleFound);

    // An attach opens the channel kAttachSettleMs later without holding up
    // the user interface; a detach in the meantime cancels it.
    void onWiredAttach(bool attached);
    void onReceiverAttach(bool attached);

    void setBleConnected(bool connected);

  private:
    // Tells the observer; the mouse may hold something else from now on.
    void tellLinksChanged(LinkChange change, bool presenceChanged);
    // This link was the only one: the mouse as a whole came or went.
    bool updateAnyConnected(bool otherLinkUp, bool connected);

    LinkState& links_;
    Scheduler& scheduler_;
    ObserverSlot& events_;
    LinkWatchdog& watchdog_;
    FeatureTransport& cable_;
    FeatureTransport& receiver_;
    BleControl* ble_;
    // Attaches waiting to settle; a detach bumps the generation so a pending
    // attach knows it is stale.
    bool wiredPending_ = false;
    bool receiverPending_ = false;
    unsigned wiredGeneration_ = 0;
    unsigned receiverGeneration_ = 0;
};

}  // namespace tvq
