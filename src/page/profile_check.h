// What an imported profile may hold: only what the page and the frames could
// have made. A file of the right size can hold anything; what is outside
// those bounds is put back to the default of that field before the profile
// is stored, so that a hostile file never reaches the mouse.
#pragma once

#include "profiles/profile.h"

namespace tvq {

struct ProfileRepairs {
    bool nameUnusable = false;  // empty, or not text: the caller names it
    int settingsRepaired = 0;   // settings out of range, put back to their defaults
    int functionsRepaired = 0;  // button bindings the mouse cannot have, put back
    bool leftClickRestored = false;
    // What was put back in the settings sent to the mouse (not the name).
    int sentValuesRepaired() const {
        return settingsRepaired + functionsRepaired + (leftClickRestored ? 1 : 0);
    }
    bool any() const { return nameUnusable || sentValuesRepaired() != 0; }
};

ProfileRepairs repairImportedProfile(Profile& profile);

// Whether a stored name is text a user could have typed: not empty, no
// control characters, no unpaired surrogate, no noncharacter.
bool usableName(std::u16string_view name);

}  // namespace tvq
