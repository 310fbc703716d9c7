// Status reports from the mouse: battery, sleep, acknowledgements and the
// settings it changes by itself.
#pragma once

#include <cstdint>
#include <functional>

#include "device/link_state.h"
#include "device/presence.h"
#include "page/page_view.h"
#include "profiles/profile_store.h"

namespace tvq {

class StatusHandler {
  public:
    // `save` asks for the store to be written; without one the store is
    // written at once.
    StatusHandler(LinkState& links, PageView& view, ProfileStore& store, Presence& presence,
                  std::function<void()> save = nullptr)
        : links_(links), view_(view), store_(store), presence_(presence), save_(std::move(save)) {}

    // One (code, value) report, on the user-interface thread. Unknown codes
    // and values outside a code's range are dropped.
    // `overBle`: the report came as a Bluetooth LE notification; a heartbeat
    // there says nothing about the receiver's link.
    void onStatusReport(std::uint16_t code, std::uint16_t value, bool overBle = false);

    // The link watchdog (timer 100) fired: no heartbeat for 6000 ms.
    void onWatchdog();

  private:
    void onHeartbeat(std::uint16_t value, bool overBle);

    LinkState& links_;
    PageView& view_;
    ProfileStore& store_;
    Presence& presence_;
    std::function<void()> save_;
};

// Maps the mouse's polling report (1..8) onto the stored polling-rate code:
// the value is read as the report interval in milliseconds, and an interval
// between the four the mouse offers takes the nearer faster one.
std::int32_t pollingRateFromReport(std::uint16_t value);

}  // namespace tvq
