#include "protocol/apply.h"

#include "protocol/report_layout.h"

namespace tvq {

// One bit per report id in ProfileApplier::changedByMouse_.
static_assert(report::kProfileSelect < 32 && report::kMacro < 32);

bool ProfileApplier::apply(bool whole) {
    deferred_ = 0;
    interrupted_ = false;
    if (links_.deviceAsleep.load() == 1 || !sendPath_.reachable()) {
        return false;
    }
    const std::unique_ptr<Profile> profile = snapshot_();
    if (!profile) {
        return false;
    }
    const std::vector<Frame> all = applyFrames(*profile, slots_);
    held_.follow(links_.connectionEpoch.load());
    if (whole) {
        held_.forget();
    }
    const std::uint32_t changed = changedByMouse_.exchange(0);
    for (std::uint8_t id = 0; id < 32; ++id) {
        if ((changed & (1u << id)) != 0) {
            held_.forget(id);
        }
    }
    // The two profile-select frames open and close whatever is sent; they
    // go alone when the button mode is all that differs.
    std::vector<const Frame*> frames;
    for (std::size_t i = 1; i + 1 < all.size(); ++i) {
        if (held_.holds(all[i])) {
            continue;
        }
        if (sendPath_.carries(all[i])) {
            frames.push_back(&all[i]);
        } else {
            ++deferred_;
        }
    }
    if (frames.empty() && held_.holds(all.front())) {
        return true;  // the mouse holds the profile already
    }
    frames.insert(frames.begin(), &all.front());
    frames.push_back(&all.back());
    if (hooks_.started) {
        hooks_.started();
    }
    bool known = true;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (sendPath_.stopped()) {
            interrupted_ = true;  // the rest would go without their waits
            known = false;
            break;
        }
        const Frame& frame = *frames[i];
        SendOutcome outcome = SendOutcome::kNoLink;
        sendPath_.sendReport(frame, &outcome);
        // A frame refused or never acknowledged: what the mouse holds is no
        // longer known, and the next apply is whole.
        known = known && frameTaken(outcome);
        if (known) {
            held_.took(frame);
        }
        if (hooks_.frameSent) {
            hooks_.frameSent(i, frames.size(), frame, outcome);
        }
    }
    if (!known) {
        held_.forget();
    }
    if (hooks_.finished) {
        hooks_.finished();
    }
    return true;
}

}  // namespace tvq
