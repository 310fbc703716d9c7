// Which links to the mouse are up. Written on the user-interface thread
// (presence, status reports) and read by the device worker, so every field
// it reads is a whole atomic 32-bit value.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace tvq {

// wiredState and receiverState.
enum AttachState : std::int32_t { kNeverAttached = 0, kAttached = 1, kDetached = 2 };

struct LinkState {
    std::atomic<std::int32_t> wiredState{kNeverAttached};
    std::atomic<std::int32_t> receiverState{kNeverAttached};
    std::atomic<std::int32_t> bleConnected{0};
    std::atomic<std::int32_t> anyConnected{0};
    std::atomic<std::int32_t> receiverLinkUp{0};  // a heartbeat within the last 6000 ms
    std::atomic<std::int32_t> ackReceived{0};     // the last receiver frame was acknowledged
    std::atomic<std::int32_t> deviceAsleep{1};    // no apply runs while set
    // Counts the moments after which the mouse may hold settings other than
    // those written to it: a link attached, detached or changed, the mouse
    // woke up, the libraries were loaded.
    std::atomic<std::uint32_t> connectionEpoch{0};
    // Runs after every move of the epoch, on the user-interface thread
    // (where links change and the mouse wakes). Set by the link's owner
    // before the links start; not shared with the worker.
    std::function<void()> afterMayHoldOther;

    bool wired() const { return wiredState.load() == kAttached; }
    bool receiver() const { return receiverState.load() == kAttached; }
    bool ble() const { return bleConnected.load() != 0; }
    bool anyLink() const { return wired() || receiver() || ble(); }
    void mouseMayHoldOther() {
        connectionEpoch.fetch_add(1);
        if (afterMayHoldOther) {
            afterMayHoldOther();
        }
    }
};

}  // namespace tvq
