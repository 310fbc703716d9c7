// Status reports from the mouse: battery, sleep, acknowledgements and the
// settings it changes by itself.
#pragma once

#include <cstdint>
#include <functional>

#include "device/link_events.h"
#include "device/link_state.h"
#include "device/presence.h"
#include "profiles/profile.h"
#include "profiles/profile_store.h"

namespace tvq {

// One status report, decoded. Values outside a code's range, and codes the
// program does not know, decode to kNone.
struct StatusEvent {
    enum class Kind { kNone, kDpiStage, kPolling, kSaveOnly, kHeartbeat, kAck, kButtonMode };
    Kind kind = Kind::kNone;
    std::int32_t setting = 0;   // DPI stage 0..7, polling code 0..3, button mode 0..4
    bool awake = false;         // kHeartbeat
    int batteryPercent = 0;     // kHeartbeat: 10..100, or 0 when the level is out of range
    bool acknowledged = false;  // kAck: the low byte is 0
    bool operator==(const StatusEvent&) const = default;
};

StatusEvent decodeStatus(std::uint16_t code, std::uint16_t value);

// Writes into `profile` what the event says of it (DPI stage and polling
// rate in every mode slot, the button mode). False when the event says
// nothing of a profile.
bool applyStatusToProfile(const StatusEvent& event, Profile& profile);

// Maps the mouse's polling report (1..8) onto the stored polling-rate code:
// the value is read as the report interval in milliseconds, and an interval
// between the four the mouse offers takes the nearer faster one.
std::int32_t pollingRateFromReport(std::uint16_t value);

// What the status handling asks of the rest of the link.
struct StatusHooks {
    std::function<void()> save;  // write the store
    // The mouse changed by itself what frames of this report id carry.
    std::function<void(std::uint8_t reportId)> changedByMouse;
    std::function<void()> acknowledged;  // an acknowledgement came in
};

// The report id of the frames that carry what `event` says the mouse
// changed by itself; 0 for an event that changes no setting.
std::uint8_t reportChangedBy(const StatusEvent& event);

class StatusHandler {
  public:
    StatusHandler(LinkState& links, ObserverSlot& events, ProfileStore& store,
                  LinkWatchdog& watchdog, StatusHooks hooks)
        : links_(links),
          events_(events),
          store_(store),
          watchdog_(watchdog),
          hooks_(std::move(hooks)) {}

    // One (code, value) report, on the user-interface thread.
    // `overBle`: the report came as a Bluetooth LE notification; a heartbeat
    // there says nothing about the receiver's link.
    void onStatusReport(std::uint16_t code, std::uint16_t value, bool overBle = false);

    // The link watchdog ran out: no heartbeat for kLinkWatchdogMs.
    void onWatchdog();

  private:
    // Tells the observer; the mouse may hold something else from now on.
    void tellLinksChanged(LinkChange change, bool presenceChanged);
    void onHeartbeat(const StatusEvent& event, bool overBle);
    void onProfileSetting(const StatusEvent& event);

    LinkState& links_;
    ObserverSlot& events_;
    ProfileStore& store_;
    LinkWatchdog& watchdog_;
    StatusHooks hooks_;
};

}  // namespace tvq
