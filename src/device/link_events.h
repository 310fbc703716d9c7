// What the mouse's links report, as events. The link code raises them on the
// user-interface thread (work done on the device worker is handed over
// first); the settings page turns them into controls and texts, tvqctl into
// lines on standard output.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tvq {

// What became of one frame.
enum class SendOutcome {
    kNoLink,          // no link could carry the frame; nothing written
    kAccepted,        // cable or BLE accepted it
    kRefused,         // cable or BLE refused it
    kAcknowledged,    // the mouse acknowledged it through the receiver
    kUnacknowledged,  // the receiver writes ran out without acknowledgement
    kSkipped,         // not sent on purpose (polling frames over BLE)
};

// Whether the mouse took the frame: accepted, acknowledged, or not meant for
// the link that carried it.
constexpr bool frameTaken(SendOutcome o) {
    return o == SendOutcome::kAccepted || o == SendOutcome::kAcknowledged ||
           o == SendOutcome::kSkipped;
}

// Which link changed, and how.
enum class LinkChange {
    kProbed,         // start-up: every link looked at once
    kCableAttached,  // after the attach settled
    kCableDetached,
    kReceiverAttached,  // after the attach settled
    kReceiverDetached,
    kReceiverLinkUp,    // the first heartbeat through the receiver
    kReceiverLinkLost,  // no heartbeat for the watchdog's time
    kBleConnected,
    kBleDisconnected,
};

struct ApplyResult {
    bool ran = false;        // false: the mouse was asleep or absent, nothing sent
    std::size_t frames = 0;  // frames the apply was made of
    std::size_t taken = 0;   // frames the mouse took (frameTaken)
    bool saved = true;       // the profile store was written after it
    bool selected = true;  // false: a profile handed in from outside was sent, not the selected one
    // Frames the link could not carry (polling over Bluetooth LE), written
    // when a link that carries them comes.
    std::size_t deferred = 0;
    bool complete() const { return ran && taken == frames; }
};

class LinkObserver {
  public:
    virtual ~LinkObserver() = default;

    // The links changed; the link state already says how. `presenceChanged`:
    // this was the only link, so the mouse as a whole came or went.
    virtual void linksChanged(LinkChange, bool /*presenceChanged*/) {}
    virtual void chargingChanged(bool /*charging*/) {}
    // A heartbeat's battery level, 10 to 100.
    virtual void batteryReported(int /*percent*/) {}
    // Whether the page shows the mouse as asleep.
    virtual void sleepChanged(bool /*asleep*/) {}
    // The mouse switched DPI stage (0..7); the profile already holds it.
    // `dpiValue` is the stage's value in 40-DPI steps.
    virtual void dpiStageReported(int /*stage*/, std::int32_t /*dpiValue*/) {}
    // The mouse switched button mode (0..4); the profile already holds it.
    virtual void buttonModeReported(int /*mode*/) {}
    // The mouse reported its polling rate (stored code 0..3); the profile
    // already holds it.
    virtual void pollingReported(int /*rate*/) {}

    virtual void applyStarted() {}
    virtual void frameSent(std::size_t /*index*/, std::size_t /*count*/, std::uint8_t /*reportId*/,
                           SendOutcome) {}
    virtual void applyFinished(const ApplyResult&) {}
    // A save of the profile store asked for without an apply has ended.
    virtual void storeSaved(bool /*written*/) {}
};

// Where the link's parts tell their events: first the mouse's state, then
// the one observer the link's owner sets and replaces; while none is set,
// events go to the state alone. User-interface thread.
class ObserverSlot {
  public:
    void setModel(LinkObserver* model) { both_.first = model != nullptr ? model : &none_; }
    void set(LinkObserver* observer) { both_.second = observer != nullptr ? observer : &none_; }
    LinkObserver* operator->() { return &both_; }

  private:
    struct Both final : LinkObserver {
        Both(LinkObserver* a, LinkObserver* b) : first(a), second(b) {}
        LinkObserver* first;
        LinkObserver* second;
        void linksChanged(LinkChange c, bool presence) override {
            first->linksChanged(c, presence);
            second->linksChanged(c, presence);
        }
        void chargingChanged(bool charging) override {
            first->chargingChanged(charging);
            second->chargingChanged(charging);
        }
        void batteryReported(int percent) override {
            first->batteryReported(percent);
            second->batteryReported(percent);
        }
        void sleepChanged(bool asleep) override {
            first->sleepChanged(asleep);
            second->sleepChanged(asleep);
        }
        void dpiStageReported(int stage, std::int32_t dpiValue) override {
            first->dpiStageReported(stage, dpiValue);
            second->dpiStageReported(stage, dpiValue);
        }
        void buttonModeReported(int mode) override {
            first->buttonModeReported(mode);
            second->buttonModeReported(mode);
        }
        void pollingReported(int rate) override {
            first->pollingReported(rate);
            second->pollingReported(rate);
        }
        void applyStarted() override {
            first->applyStarted();
            second->applyStarted();
        }
        void frameSent(std::size_t index, std::size_t count, std::uint8_t reportId,
                       SendOutcome outcome) override {
            first->frameSent(index, count, reportId, outcome);
            second->frameSent(index, count, reportId, outcome);
        }
        void applyFinished(const ApplyResult& result) override {
            first->applyFinished(result);
            second->applyFinished(result);
        }
        void storeSaved(bool written) override {
            first->storeSaved(written);
            second->storeSaved(written);
        }
    };
    LinkObserver none_;
    Both both_{&none_, &none_};
};

}  // namespace tvq
