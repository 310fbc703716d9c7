#include "device/mouse_link.h"

#include "base/constants.h"

namespace tvq {

MouseLink::MouseLink(PageView& view, const TextSource& texts, ProfileStore& store, BleControl* ble,
                     FrameWriter* bleWriter)
    : view_(view),
      store_(store),
      sendPath_(links_, clock_, &cable_, &receiver_, bleWriter),
      applier_(
          sendPath_, links_, [this] { return store_.copyCurrent(); },
          ApplyHooks{
              .started =
                  [this] {
                      view_.runOnUiThread([this] {
                          view_.stopTimer(timer::kLinkWatchdog);
                          view_.setVisible(control::kApplyRing, true);
                      });
                  },
              .frameSent = nullptr,
              .finished =
                  [this] {
                      view_.runOnUiThread([this] {
                          view_.startTimer(timer::kLinkWatchdog, timer::kLinkWatchdogMs);
                      });
                      store_.save();
                      view_.runOnUiThread([this] { view_.setVisible(control::kApplyRing, false); });
                  },
          }),
      presence_(links_, view, texts, cable_, receiver_, ble),
      status_(links_, view, store, presence_, [this] { requestSave(); }),
      worker_([this] { return links_.anyLink(); }, [this] { applier_.apply(); },
              [this] {
                  if (savePending_.exchange(false)) {
                      store_.save();
                  }
              }) {}

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
    cable_.load(loader, programFolder + paths::kCableLibrary);
    receiver_.load(loader, programFolder + paths::kReceiverLibrary);
    presence_.probe(window, bleFound);
}

void MouseLink::requestApply() {
    worker_.post(msg::kApply);
}

void MouseLink::requestSave() {
    ++saveRequests_;
    if (!savePending_.exchange(true)) {
        worker_.post(msg::kSaveStore);
    }
}

void MouseLink::onDeviceWord(std::uint32_t word, bool cable) {
    const auto high = static_cast<std::uint16_t>(word >> 16);
    const auto low = static_cast<std::uint16_t>(word & 0xFFFF);
    if (high == status::kAttachEvent) {
        cable ? presence_.onWiredAttach(low) : presence_.onReceiverAttach(low);
    } else if (high >= status::kFirstStatusCode && high <= status::kLastStatusCode) {
        status_.onStatusReport(high, low);
    }
}

void MouseLink::onWiredEvent(std::uint32_t word) {
    onDeviceWord(word, true);
}
void MouseLink::onReceiverEvent(std::uint32_t word) {
    onDeviceWord(word, false);
}

void MouseLink::onBleReport(std::uint16_t code, std::uint16_t value) {
    if (code >= status::kFirstStatusCode && code <= status::kLastStatusCode) {
        status_.onStatusReport(code, value, true);
    }
}

void MouseLink::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    clock_.cancel();
    worker_.stop();
    if (savePending_.exchange(false)) {
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
