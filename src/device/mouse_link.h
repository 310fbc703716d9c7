// Everything the settings page owns that is about the mouse's links: the two
// device-access libraries, the device worker and its send path, presence and
// status handling. The page drives it from the user-interface thread.
//
// The tasks it hands to the page (PageView::runOnUiThread, runLater) refer
// to it: the page runs them with itself as their context, so that tasks not
// yet delivered are dropped when the page and its link go away.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "base/clock.h"
#include "base/text_source.h"
#include "device/feature_transport.h"
#include "device/link_state.h"
#include "device/presence.h"
#include "page/page_view.h"
#include "profiles/profile_store.h"
#include "protocol/apply.h"
#include "protocol/device_worker.h"
#include "protocol/send_path.h"
#include "protocol/status.h"

namespace tvq {

class MouseLink {
  public:
    // `ble` and `bleWriter` are the Bluetooth LE link, when there is one.
    MouseLink(PageView& view, const TextSource& texts, ProfileStore& store,
              BleControl* ble = nullptr, FrameWriter* bleWriter = nullptr);
    ~MouseLink();
    MouseLink(const MouseLink&) = delete;
    MouseLink& operator=(const MouseLink&) = delete;

    // Page set-up: starts the worker, loads "hiddriver_2.so" (cable) and
    // "hiddriver_1.so" (receiver) from `programFolder`, and probes the links.
    void start(LibraryLoader& loader, const std::string& programFolder, MessageWindow* window,
               bool bleFound);

    // WM_APPLY_REQUEST: hands TM_APPLY to the worker. Never waits.
    void requestApply();
    // Has the worker write the profile store; requests that pile up while it
    // is busy make one write. A request still open at shutdown is written
    // then. Never waits.
    void requestSave();
    int saveRequests() const { return saveRequests_.load(); }

    // The main window's words for the libraries' messages.
    void onWiredEvent(std::uint32_t word);
    void onReceiverEvent(std::uint32_t word);
    // A status report the mouse notified over Bluetooth LE.
    void onBleReport(std::uint16_t code, std::uint16_t value);
    void onWatchdog() { status_.onWatchdog(); }

    // Ends waits in progress, stops the worker, then closes the channels and
    // unloads the libraries. Called by the destructor at the latest.
    void shutdown();

    LinkState& links() { return links_; }
    const LinkState& links() const { return links_; }
    Presence& presence() { return presence_; }
    StatusHandler& status() { return status_; }
    const MacroSlotTable& macroSlots() const { return applier_.macroSlots(); }
    bool cableAvailable() const { return cable_.available(); }
    bool receiverAvailable() const { return receiver_.available(); }

  private:
    void onDeviceWord(std::uint32_t word, bool cable);

    PageView& view_;
    ProfileStore& store_;
    LinkState links_;
    SystemClock clock_;
    FeatureTransport cable_;
    FeatureTransport receiver_;
    SendPath sendPath_;
    ProfileApplier applier_;
    Presence presence_;
    StatusHandler status_;
    DeviceWorker worker_;
    std::atomic<bool> savePending_{false};
    std::atomic<int> saveRequests_{0};
    bool started_ = false;
    bool shutDown_ = false;
};

}  // namespace tvq
