#include "session/mouse_session.h"

#include "base/paths.h"

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

namespace {

std::string unwrittenMarkerPath(const std::string& dataFolder) {
    return dataFolder + paths::kStoreFolder + "/" + paths::kUnwrittenMarkerFile;
}

}  // namespace

ProfileStore::LoadReport MouseSession::load() {
    ProfileStore::LoadReport report = profiles_.load(macros_);
    loaded_ = true;
    if (files().exists(unwrittenMarkerPath(dataFolder()))) {
        link_.markUnwritten();
    }
    return report;
}

void MouseSession::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    link_.shutdown();
    if (!loaded_) {
        return;
    }
    if (settling_) {
        profiles_.save();  // the worker has stopped: nothing else writes the store
    }
    const std::string marker = unwrittenMarkerPath(dataFolder());
    if (settling_ || link_.unwritten()) {
        files().replaceFile(marker, {});
    } else if (files().exists(marker)) {
        files().removeFile(marker);
    }
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
                settling_ = true;
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
    settling_ = false;
    link_.requestApply();
}

void MouseSession::requestWholeApply() {
    ++settleGeneration_;
    settling_ = false;
    link_.requestWholeApply();
}

}  // namespace tvq
