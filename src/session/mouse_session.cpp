#include "session/mouse_session.h"

namespace tvq {

MouseSession::MouseSession(const DataLocation& location, const TextSource& texts,
                           Scheduler& scheduler, BleTransport* ble, Clock* sendClock)
    : location_(location),
      scheduler_(scheduler),
      profiles_(location, texts),
      macros_(location, texts),
      link_(scheduler, profiles_, ble, sendClock) {}

MouseSession::~MouseSession() {
    shutdown();
}

bool MouseSession::edit(const std::function<void(Profile&)>& change, AfterEdit then, int settleMs) {
    if (!profiles_.editCurrent(change)) {
        return false;
    }
    switch (then) {
        case AfterEdit::kNothing:
            break;
        case AfterEdit::kSave:
            link_.requestSave();
            break;
        case AfterEdit::kApply:
            if (settleMs <= 0) {
                requestApply();
            } else {
                const unsigned generation = ++settleGeneration_;
                scheduler_.runLater(settleMs, [this, generation] {
                    if (generation == settleGeneration_) {
                        requestApply();
                    }
                });
            }
            break;
    }
    return true;
}

void MouseSession::requestApply() {
    ++settleGeneration_;  // a settled apply still waiting is this one
    link_.requestApply();
}

void MouseSession::requestWholeApply() {
    ++settleGeneration_;
    link_.requestWholeApply();
}

}  // namespace tvq
