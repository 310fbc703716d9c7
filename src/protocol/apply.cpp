#include "protocol/apply.h"

namespace tvq {

bool ProfileApplier::apply() {
    if (links_.deviceAsleep.load() == 1) {
        return false;
    }
    const std::unique_ptr<Profile> profile = snapshot_();
    if (!profile) {
        return false;
    }
    if (hooks_.started) {
        hooks_.started();
    }
    const std::vector<Frame> frames = applyFrames(*profile, slots_);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SendOutcome outcome = SendOutcome::kNoLink;
        sendPath_.sendReport(frames[i], &outcome);
        if (hooks_.frameSent) {
            hooks_.frameSent(i, frames.size(), frames[i], outcome);
        }
    }
    if (hooks_.finished) {
        hooks_.finished();
    }
    return true;
}

}  // namespace tvq
