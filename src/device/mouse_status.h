// The mouse's state in a few words, as the tray and the desktop show it:
// the link the program writes through, the battery, charging and sleep.
#pragma once

#include "device/link_state.h"

namespace tvq {

struct MouseStatus {
    // The link that carries what the program writes: the cable first, then
    // the receiver while the mouse answers through it, then Bluetooth LE.
    enum class Link { kNone, kCable, kReceiver, kBluetooth };
    Link link = Link::kNone;
    int battery = 0;  // the last level reported on this connection, 10..100; 0 unknown
    bool charging = false;
    bool asleep = false;
    bool operator==(const MouseStatus&) const = default;
};

inline MouseStatus::Link writingLink(const LinkState& links) {
    if (links.wired()) {
        return MouseStatus::Link::kCable;
    }
    if (links.receiver() && links.receiverLinkUp.load() != 0) {
        return MouseStatus::Link::kReceiver;
    }
    return links.ble() ? MouseStatus::Link::kBluetooth : MouseStatus::Link::kNone;
}

}  // namespace tvq
