// The mouse's links as one object: the two device-access libraries, the
// Bluetooth LE link, the device worker and its send path, presence, the
// receiver's watchdog and status handling. Driven from the user-interface
// thread; what happens is told to one LinkObserver, on that thread.
//
// The tasks it hands to the scheduler refer to it: the scheduler must drop
// tasks not yet run when the link goes away (the program's does, with the
// object that owns both).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "base/clock.h"
#include "base/scheduler.h"
#include "device/ble_link.h"
#include "device/device_messages.h"
#include "device/feature_transport.h"
#include "device/link_events.h"
#include "device/link_state.h"
#include "device/mouse_state.h"
#include "device/presence.h"
#include "profiles/profile_store.h"
#include "protocol/apply.h"
#include "protocol/device_worker.h"
#include "protocol/send_path.h"
#include "protocol/status.h"

namespace tvq {

class MouseLink {
  public:
    // `store` is what an apply sends (its selected profile), what the
    // mouse's reports change and what is saved after an apply. `ble` reaches
    // the mouse over Bluetooth LE, when there is such a link. `sendClock`
    // times the waits after each frame (tests pass a fake one); by default
    // real time, cut short at shutdown.
    MouseLink(Scheduler& scheduler, ProfileStore& store, BleTransport* ble = nullptr,
              Clock* sendClock = nullptr);
    ~MouseLink();
    MouseLink(const MouseLink&) = delete;
    MouseLink& operator=(const MouseLink&) = delete;

    // Who hears the link's events after the mouse's state; null for nobody.
    // User-interface thread.
    void setObserver(LinkObserver* observer) { observer_.set(observer); }
    // The mouse's state, as the link's events leave it.
    MouseState& state() { return state_; }
    const MouseState& state() const { return state_; }

    // Starts the worker, loads "hiddriver_2.so" (cable) and "hiddriver_1.so"
    // (receiver) from `programFolder`, and probes the links; the libraries
    // post to `window`. `bleFound` is the Bluetooth LE probe.
    void start(LibraryLoader& loader, const std::string& programFolder, MessageWindow* window,
               bool bleFound);
    // False when the cable's or the receiver's library could not be loaded
    // (missing, damaged): that link is unavailable.
    bool librariesLoaded() const { return librariesLoaded_; }

    // A status report or attach event of the device-access libraries.
    void onDeviceMessage(const DeviceMessage& message);
    // The same as the libraries posted it; false when it is none of theirs.
    bool onDeviceMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // The mouse over Bluetooth LE: connected or gone (a second arrival while
    // connected is ignored; a removal is always processed).
    void onBleConnection(bool connected);
    // Tells the current Bluetooth LE state again, as a fresh connection or
    // removal.
    void announceBle() { presence_.setBleConnected(links_.ble()); }
    // A value the mouse notified over Bluetooth LE.
    void onBleNotification(std::span<const std::uint8_t> value);

    // Hands an apply of the store's selected profile to the worker. Never
    // waits. Only the frames the mouse does not already hold are sent (none
    // at all when it holds them all); when no link can reach the mouse, or
    // it sleeps, nothing is sent, and the profile is written to it as soon
    // as it wakes or a link comes back. The store is saved either way.
    void requestApply();
    // The same, sending every frame of the profile whatever the mouse holds.
    void requestWholeApply();
    // Sends `profile` instead of the store's selected one, once; `done`
    // hears how it went, on the user-interface thread. The frames it sends
    // count as what the mouse holds, so the next apply of the selected
    // profile sends what differs from them.
    void requestApply(std::unique_ptr<Profile> profile,
                      std::function<void(const ApplyResult&)> done = nullptr);
    // Whether the selected profile waits to be written (its last apply could
    // not reach the mouse, or did not complete).
    bool unwritten() const { return unwritten_.load(); }
    // The selected profile waits to be written (an earlier run ended before
    // the mouse had it): it is, whole, as soon as the mouse can take it.
    // User-interface thread.
    void markUnwritten();
    // Whether frames of it wait for a link that carries them (polling over
    // Bluetooth LE).
    bool deferred() const { return deferred_.load(); }
    // Has the worker write the profile store; requests that pile up while it
    // is busy make one write. A request still open at shutdown is written
    // then. Never waits.
    void requestSave();
    int saveRequests() const { return saveRequests_.load(); }
    int applyRequests() const { return applyRequests_.load(); }
    // Applies that have ended, the store written after them.
    int appliesFinished() const { return appliesFinished_.load(); }

    // Ends waits in progress, stops the worker, then closes the channels and
    // unloads the libraries. Called by the destructor at the latest.
    void shutdown();

    LinkState& links() { return links_; }
    const LinkState& links() const { return links_; }
    bool watchdogArmed() const { return watchdog_.armed(); }
    const MacroSlotTable& macroSlots() const { return applier_.macroSlots(); }
    bool cableAvailable() const { return cable_.available(); }
    bool receiverAvailable() const { return receiver_.available(); }

  private:
    // On the worker.
    void runApply();
    std::unique_ptr<Profile> snapshot();
    // The mouse may hold something else now: an apply it could not take is
    // made again once it can. User-interface thread.
    void writeWhatTheMouseMissed();
    // A report of a setting the mouse changed by itself. User-interface thread.
    void mouseChangedItself(std::uint8_t reportId);
    // After an apply, on the worker: saves the store, or, when only the
    // selection changed since the last save and that was less than
    // kSelectionSaveMs ago, has it saved that much later.
    bool saveAfterApply();
    // Closes and opens again the cable's channel when the cable writes;
    // false when it does not, or the channel would not open.
    bool reopenCableChannel();

    Scheduler& scheduler_;
    ProfileStore& store_;
    ObserverSlot observer_;
    bool librariesLoaded_ = true;
    LinkState links_;
    MouseState state_{links_};
    SystemClock clock_;
    Clock& sendClock_;
    FeatureTransport cable_;
    FeatureTransport receiver_;
    BleLink ble_;
    SendPath sendPath_;
    ApplyResult result_;  // the apply in progress; the worker's
    ProfileApplier applier_;
    LinkWatchdog watchdog_;
    Presence presence_;
    StatusHandler status_;
    std::mutex overrideMutex_;
    std::unique_ptr<Profile> override_;
    std::function<void(const ApplyResult&)> overrideDone_;
    // Worker only: the profile handed in that the apply in progress sends.
    std::unique_ptr<Profile> sending_;
    std::atomic<bool> unwritten_{false};
    // A flood of profile switches (the bus, the focus) is saved this often.
    static constexpr int kSelectionSaveMs = 1000;
    std::int64_t lastApplySaveMs_ = -kSelectionSaveMs;  // worker only
    std::atomic<bool> saveDeferred_{false};
    std::atomic<bool> deferred_{false};
    // Applies asked for whose end the user-interface thread has not yet
    // heard of. User-interface thread.
    int appliesOpen_ = 0;
    DeviceWorker worker_;
    std::atomic<bool> savePending_{false};
    std::atomic<int> saveRequests_{0};
    std::atomic<int> applyRequests_{0};
    std::atomic<bool> wholeRequested_{false};
    std::atomic<int> appliesFinished_{0};
    bool started_ = false;
    bool shutDown_ = false;
};

}  // namespace tvq
