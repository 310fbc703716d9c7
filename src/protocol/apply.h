// ApplyProfile: writes the selected profile into the mouse, frame by frame.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "device/link_state.h"
#include "profiles/profile.h"
#include "protocol/frames.h"
#include "protocol/held_frames.h"
#include "protocol/send_path.h"

namespace tvq {

// What happens around an apply. Every hook runs on the device worker; hooks
// that touch the screen hand their work to the user-interface thread.
struct ApplyHooks {
    std::function<void()> started;  // before the first frame
    std::function<void(std::size_t index, std::size_t count, const Frame&, SendOutcome)> frameSent;
    std::function<void()> finished;  // after the last frame
};

class ProfileApplier {
  public:
    // `snapshot` returns a copy of the profile to send, taken under the
    // store's lock when the apply starts (null: nothing to send).
    ProfileApplier(SendPath& sendPath, const LinkState& links,
                   std::function<std::unique_ptr<Profile>()> snapshot, ApplyHooks hooks)
        : sendPath_(sendPath),
          links_(links),
          snapshot_(std::move(snapshot)),
          hooks_(std::move(hooks)) {}

    // Sends the frames of the profile that the mouse does not already hold,
    // between the two profile-select frames (which go alone when only the
    // button mode differs); with `whole`, or after the mouse may have
    // changed (see LinkState::connectionEpoch), every frame. Nothing at all
    // when the mouse holds every frame. Returns false when nothing was done
    // (the mouse asleep, or no link that could carry a frame).
    bool apply(bool whole = false);

    // The mouse changed the setting that frames of `reportId` carry by
    // itself (a DPI stage, polling or button mode report): what it holds of
    // them is no longer known, and the next apply sends them. Any thread.
    void changedByMouse(std::uint8_t reportId) { changedByMouse_.fetch_or(1u << reportId); }

    // Frames of the last apply that differ from what the mouse holds but
    // that the link could not carry (polling frames over Bluetooth LE);
    // they go when a link that carries them is up.
    std::size_t deferred() const { return deferred_; }
    // Whether the last apply stopped between two frames because the send
    // path was stopped.
    bool interrupted() const { return interrupted_; }

    // Slot numbers given to the macros in the last apply.
    const MacroSlotTable& macroSlots() const { return slots_; }

  private:
    SendPath& sendPath_;
    const LinkState& links_;
    std::function<std::unique_ptr<Profile>()> snapshot_;
    ApplyHooks hooks_;
    MacroSlotTable slots_{};
    HeldFrames held_;
    std::size_t deferred_ = 0;
    bool interrupted_ = false;
    std::atomic<std::uint32_t> changedByMouse_{0};  // one bit per report id
};

}  // namespace tvq
