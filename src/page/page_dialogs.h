// What the page opens besides its own controls. The window layer implements
// it with its dialogs; tests with a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editing/macro_choice.h"
#include "editing/macro_editor.h"
#include "editing/shortcut_capture.h"

namespace tvq {

class PageDialogs {
  public:
    virtual ~PageDialogs() = default;
    // The colour picker, modal, placed 200 pixels left of `anchorControl`'s
    // left edge and at its bottom edge (kept inside the screen), starting
    // from `argb` (0xFFRRGGBB). The colour chosen, or nothing when cancelled.
    virtual std::optional<std::uint32_t> pickColour(std::string_view anchorControl,
                                                    std::uint32_t argb) = 0;
    // Starts the desktop's own mouse settings without waiting for them, or
    // tells the user that none is installed.
    virtual void openDesktopMouseSettings() = 0;

    // What the profile name dialog asks for: its title (with the name being
    // renamed as its argument), the name it starts with, selected, and the
    // row of the profile being renamed (-1 for a new one).
    struct NameRequest {
        std::string titleKey;
        std::u16string prefill;
        std::int32_t renaming = -1;
    };
    // The profile name dialog: a name that is not empty and that no other
    // profile has (letter case ignored), at most 49 UTF-16 units, said
    // inside the dialog while it is not; nothing when cancelled.
    virtual std::optional<std::u16string> askProfileName(const NameRequest& request) = 0;
    // A question naming its object (`arguments` take the places of "%1",
    // …): true when the user pressed the button that says `verbKey`; Cancel
    // has the focus.
    virtual bool confirm(std::string_view textKey, const std::vector<std::string>& arguments,
                         std::string_view verbKey) = 0;
    // The message dialog, to tell the user something; `arguments` take the
    // places of "%1", "%2", … in the text.
    virtual void tell(std::string_view textKey, const std::vector<std::string>& arguments = {}) = 0;
    // The platform's file dialog for profile files ("*.pro"): the path
    // chosen, or nothing when cancelled. Saving proposes `name` (a profile's
    // name) and asks before it overwrites.
    virtual std::optional<std::string> chooseProfileFile(bool forSaving,
                                                         const std::string& name = {}) = 0;

    // The function menu of a key button, read from `menuFile` under the
    // resources and opened beside `keyButton`; any menu still open closes.
    // The name of the item picked, if any, goes to `picked`.
    virtual void openFunctionMenu(std::string_view menuFile, std::string_view keyButton,
                                  std::function<void(std::string_view item)> picked) = 0;
    // The shortcut dialog, modal, starting from `start`: the shortcut
    // confirmed, or nothing when cancelled.
    virtual std::optional<ShortcutChoice> askShortcut(const ShortcutChoice& start) = 0;
    // The macro picker over the session's macros, modal: the choice
    // confirmed (its index may name no macro), or nothing when cancelled.
    virtual std::optional<MacroChoice> pickMacro(const MacroChoice& start) = 0;
    // The macro editor over the session's macros, modal; returns once it
    // is closed. `bindings` follow the macros it renames.
    virtual void openMacroEditor(MacroBindings& bindings) = 0;
};

}  // namespace tvq
