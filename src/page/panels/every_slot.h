// The mirroring rule of the panels' edits: a setting is written to the same
// field of all five mode slots of the selected profile.
#pragma once

#include <cstdint>

#include "profiles/profile.h"
#include "session/mouse_session.h"

namespace tvq {

// `value` into `field` of every slot, then an apply (once edits have rested
// for `settleMs`, when above 0).
inline void editEverySlot(MouseSession& session, std::int32_t ModeSettings::*field,
                          std::int32_t value, int settleMs = 0) {
    session.edit(
        [field, value](Profile& p) {
            writeAllSlots(p, [field, value](ModeSettings& m) { m.*field = value; });
        },
        AfterEdit::kApply, settleMs);
}

}  // namespace tvq
