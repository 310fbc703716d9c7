// Which links to the mouse are up: the start-up probe, attach and detach of
// the cable and the receiver, Bluetooth LE connection, and the panels that
// depend on the link.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text_source.h"
#include "device/feature_transport.h"
#include "device/link_state.h"
#include "page/page_view.h"

namespace tvq {

// The Bluetooth LE link as presence drives it.
class BleControl {
  public:
    virtual ~BleControl() = default;
    // Names the mouse to look for; empty tags make every write return 0.
    virtual void setTags(std::string_view vendorTag, std::string_view productTag) = 0;
    virtual void clearTags() = 0;
    virtual void subscribeNotifications() = 0;
};

// The words the main window builds from the libraries' messages.
constexpr std::uint32_t statusWord(std::uintptr_t wParam, std::intptr_t lParam) {
    return static_cast<std::uint32_t>((wParam & 0xFFFF) << 16) |
           static_cast<std::uint32_t>(static_cast<std::uintptr_t>(lParam) & 0xFFFF);
}
constexpr std::uint32_t attachWord(std::uintptr_t wParam) {
    const std::uint32_t low = wParam == 1 ? 1u : wParam == 0 ? 2u : 0u;
    return (std::uint32_t{0x7F00} << 16) | low;
}

class Presence {
  public:
    Presence(LinkState& links, PageView& view, const TextSource& texts, FeatureTransport& cable,
             FeatureTransport& receiver, BleControl* ble = nullptr)
        : links_(links),
          view_(view),
          texts_(texts),
          cable_(cable),
          receiver_(receiver),
          ble_(ble) {}

    // Start-up: configures and opens both libraries (their monitors post to
    // `window`), records what was found, and posts WM_CONNECTION_CHANGED.
    // `bleFound` is the result of the Bluetooth LE probe.
    void probe(MessageWindow* window, bool bleFound);

    // Attach words: low half 1 attached, 2 detached, anything else ignored.
    // An attach opens the channel 1000 ms later without holding up the user
    // interface; a detach in the meantime cancels it.
    void onWiredAttach(std::uint16_t event);
    void onReceiverAttach(std::uint16_t event);

    void setBleConnected(bool connected);
    void refreshModePanels();

    void startCharging();
    void stopCharging();

  private:
    void postIfOnlyLink(bool otherLinkUp, bool connected);

    LinkState& links_;
    PageView& view_;
    const TextSource& texts_;
    FeatureTransport& cable_;
    FeatureTransport& receiver_;
    BleControl* ble_;
    // Attaches waiting for their 1000 ms; a detach bumps the generation so a
    // pending attach knows it is stale.
    bool wiredPending_ = false;
    bool receiverPending_ = false;
    unsigned wiredGeneration_ = 0;
    unsigned receiverGeneration_ = 0;
};

}  // namespace tvq
