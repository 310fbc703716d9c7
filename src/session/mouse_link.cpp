#include "session/mouse_link.h"

#include "base/debug.h"
#include "device/device_ids.h"
#include "device/device_messages.h"

namespace tvq {

MouseLink::MouseLink(Scheduler& scheduler, ProfileStore& store, BleTransport* ble, Clock* sendClock)
    : scheduler_(scheduler),
      store_(store),
      sendClock_(sendClock != nullptr ? *sendClock : clock_),
      ble_(ble),
      sendPath_(links_, sendClock_, &cable_, &receiver_, ble != nullptr ? &ble_ : nullptr),
      applier_(
          sendPath_, links_, [this] { return snapshot(); },
          ApplyHooks{
              .started =
                  [this] {
                      scheduler_.runOnUiThread([this] {
                          watchdog_.disarm();
                          observer_->applyStarted();
                      });
                  },
              .frameSent =
                  [this](std::size_t i, std::size_t n, const Frame& frame, SendOutcome o) {
                      result_.frames = n;
                      result_.taken += frameTaken(o) ? 1 : 0;
                      const std::uint8_t id = frame[0];
                      scheduler_.runOnUiThread(
                          [this, i, n, id, o] { observer_->frameSent(i, n, id, o); });
                  },
              .finished = [this] { scheduler_.runOnUiThread([this] { watchdog_.arm(); }); },
          }),
      watchdog_(scheduler, [this] { status_.onWatchdog(); }),
      presence_(links_, scheduler, observer_, watchdog_, cable_, receiver_,
                ble != nullptr ? &ble_ : nullptr),
      status_(links_, observer_, store, watchdog_,
              StatusHooks{
                  .save = [this] { requestSave(); },
                  .changedByMouse = [this](std::uint8_t id) { mouseChangedItself(id); },
                  .acknowledged = [this] { sendClock_.wake(); },
              }),
      worker_([this] { runApply(); },
              [this] {
                  if (savePending_.exchange(false)) {
                      const bool written = store_.save();
                      scheduler_.runOnUiThread([this, written] { observer_->storeSaved(written); });
                  }
              }) {
    observer_.setModel(&state_);
    links_.afterMayHoldOther = [this] { writeWhatTheMouseMissed(); };
}

MouseLink::~MouseLink() {
    shutdown();
}

void MouseLink::start(LibraryLoader& loader, const std::string& programFolder,
                      MessageWindow* window, bool bleFound) {
    if (started_ || shutDown_) {
        return;
    }
    started_ = true;
    worker_.start();
    librariesLoaded_ = cable_.load(loader, programFolder + paths::kCableLibrary);
    librariesLoaded_ =
        receiver_.load(loader, programFolder + paths::kReceiverLibrary) && librariesLoaded_;
    links_.mouseMayHoldOther();
    presence_.probe(window, bleFound);
}

bool MouseLink::onDeviceMessage(std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    const auto m = decodeDeviceMessage(message, wParam, lParam);
    if (!m) {
        // An attach event with a value other than 0 and 1 is ignored.
        return message == msg::kWiredAttach || message == msg::kReceiverAttach;
    }
    onDeviceMessage(*m);
    return true;
}

void MouseLink::onDeviceMessage(const DeviceMessage& m) {
    switch (m.kind) {
        case DeviceMessage::Kind::kStatus:
            status_.onStatusReport(m.code, m.value);
            break;
        case DeviceMessage::Kind::kAttached:
        case DeviceMessage::Kind::kDetached: {
            const bool attached = m.kind == DeviceMessage::Kind::kAttached;
            if (m.link == DeviceLink::kCable) {
                presence_.onWiredAttach(attached);
            } else {
                presence_.onReceiverAttach(attached);
            }
            break;
        }
    }
}

void MouseLink::onBleConnection(bool connected) {
    if (connected && links_.ble()) {
        return;
    }
    presence_.setBleConnected(connected);
}

void MouseLink::onBleNotification(std::span<const std::uint8_t> value) {
    if (const auto report = BleLink::decodeNotification(value)) {
        status_.onStatusReport(report->code, report->value, true);
    }
}

void MouseLink::requestApply() {
    ++applyRequests_;
    ++appliesOpen_;
    worker_.post(msg::kApply);
}

void MouseLink::requestWholeApply() {
    wholeRequested_.store(true);
    requestApply();
}

void MouseLink::requestApply(std::unique_ptr<Profile> profile,
                             std::function<void(const ApplyResult&)> done) {
    {
        std::lock_guard lock(overrideMutex_);
        override_ = std::move(profile);
        overrideDone_ = std::move(done);
    }
    requestApply();
}

std::unique_ptr<Profile> MouseLink::snapshot() {
    return sending_ ? std::move(sending_) : store_.copyCurrent();
}

void MouseLink::runApply() {
    result_ = ApplyResult{};
    std::function<void(const ApplyResult&)> done;
    {
        std::lock_guard lock(overrideMutex_);
        sending_ = std::move(override_);
        done = std::move(overrideDone_);
    }
    result_.selected = sending_ == nullptr;
    result_.ran = applier_.apply(wholeRequested_.exchange(false));
    sending_.reset();  // not sent when the mouse could not be reached
    // Every frame refused on a link that is still there: a mouse that
    // restarted leaves the channel stale. It is opened again once, and the
    // selected profile sent again, whole, before the user is told.
    if (result_.ran && result_.selected && result_.frames != 0 && result_.taken == 0 &&
        reopenCableChannel()) {
        result_.frames = result_.taken = 0;
        result_.ran = applier_.apply(true);
    }
    result_.deferred = applier_.deferred();
    if (result_.selected) {
        unwritten_.store(!result_.complete() || applier_.interrupted());
        deferred_.store(result_.deferred != 0);
    }
    // The store is saved after every apply, also one that could send
    // nothing: an edit is never lost because the mouse was away.
    result_.saved = saveAfterApply();
    const ApplyResult result = result_;
    scheduler_.runOnUiThread([this, result, done = std::move(done)] {
        --appliesOpen_;
        if (done) {
            done(result);
        }
        observer_->applyFinished(result);
    });
    ++appliesFinished_;  // counted once its event is on its way
}

void MouseLink::mouseChangedItself(std::uint8_t reportId) {
    applier_.changedByMouse(reportId);
    // Reports reach this thread in the order the mouse sent them, before the
    // end of an apply that was still sending when the mouse changed: frames
    // of that apply may have overwritten the change, so one more apply
    // sends what the store now holds.
    if (appliesOpen_ > 0) {
        requestApply();
    }
}

bool MouseLink::reopenCableChannel() {
    // The cable only: through the receiver a frame not taken is one the
    // mouse did not answer (out of range, asleep), which a new channel
    // would not change, and writing everything again would cost minutes.
    if (!links_.wired() || sendPath_.stopped()) {
        return false;
    }
    debug::write("every write was refused; the cable's channel is opened again\n");
    cable_.closeFeature();
    return cable_.openFeature() != 0;
}

bool MouseLink::saveAfterApply() {
    const std::int64_t now = sendClock_.nowMs();
    if (store_.editedSinceSave() || now - lastApplySaveMs_ >= kSelectionSaveMs) {
        lastApplySaveMs_ = now;
        return store_.save();
    }
    if (!saveDeferred_.exchange(true)) {
        scheduler_.runOnUiThread([this] {
            scheduler_.runLater(kSelectionSaveMs, [this] {
                if (saveDeferred_.exchange(false)) {
                    requestSave();
                }
            });
        });
    }
    return true;  // written within kSelectionSaveMs; a failure then is told as a save's
}

void MouseLink::markUnwritten() {
    unwritten_.store(true);
    links_.mouseMayHoldOther();  // whole, and at once when it can be reached
}

void MouseLink::writeWhatTheMouseMissed() {
    if (links_.deviceAsleep.load() != 0 || !sendPath_.reachable()) {
        return;
    }
    if (unwritten_.exchange(false) || (sendPath_.carriesPolling() && deferred_.exchange(false))) {
        requestApply();
    }
}

void MouseLink::requestSave() {
    ++saveRequests_;
    if (!savePending_.exchange(true)) {
        worker_.post(msg::kSaveStore);
    }
}

void MouseLink::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    clock_.cancel();
    worker_.stop();
    if (savePending_.exchange(false) || saveDeferred_.exchange(false)) {
        store_.save();
    }
    receiver_.closeFeature();
    receiver_.closeMonitor();
    cable_.closeFeature();
    cable_.closeMonitor();
    cable_.unload();
    receiver_.unload();
}

}  // namespace tvq
