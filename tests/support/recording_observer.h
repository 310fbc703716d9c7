// A LinkObserver that writes down every event as one line.
#pragma once

#include <string>
#include <vector>

#include "device/link_events.h"

namespace tvq::testing {

class RecordingObserver final : public LinkObserver {
  public:
    std::vector<std::string> events;
    ApplyResult lastResult;

    static const char* name(LinkChange c) {
        switch (c) {
            case LinkChange::kProbed:
                return "probed";
            case LinkChange::kCableAttached:
                return "cable attached";
            case LinkChange::kCableDetached:
                return "cable detached";
            case LinkChange::kReceiverAttached:
                return "receiver attached";
            case LinkChange::kReceiverDetached:
                return "receiver detached";
            case LinkChange::kReceiverLinkUp:
                return "receiver link up";
            case LinkChange::kReceiverLinkLost:
                return "receiver link lost";
            case LinkChange::kBleConnected:
                return "ble connected";
            case LinkChange::kBleDisconnected:
                return "ble disconnected";
        }
        return "?";
    }
    void linksChanged(LinkChange c, bool presence) override {
        events.push_back(std::string(name(c)) + (presence ? " (presence)" : ""));
    }
    void chargingChanged(bool c) override { events.push_back(c ? "charging" : "not charging"); }
    void batteryReported(int p) override { events.push_back("battery " + std::to_string(p)); }
    void sleepChanged(bool a) override { events.push_back(a ? "asleep" : "awake"); }
    void dpiStageReported(int s, std::int32_t v) override {
        events.push_back("dpi stage " + std::to_string(s) + " value " + std::to_string(v));
    }
    void buttonModeReported(int m) override {
        events.push_back("button mode " + std::to_string(m));
    }
    void pollingReported(int r) override { events.push_back("polling " + std::to_string(r)); }
    void applyStarted() override { events.push_back("apply started"); }
    void storeSaved(bool written) override {
        events.push_back(written ? "store saved" : "store not saved");
    }
    void applyFinished(const ApplyResult& r) override {
        lastResult = r;
        events.push_back("apply finished " + std::to_string(r.taken) + "/" +
                         std::to_string(r.frames));
    }
    bool saw(const std::string& e) const {
        for (const auto& x : events) {
            if (x == e) {
                return true;
            }
        }
        return false;
    }
};

}  // namespace tvq::testing
