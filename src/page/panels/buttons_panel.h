// The buttons panel: the button-mode options, the 18 key buttons' texts and
// hover overlays, and what a key button does: its function menu, the
// assignment of the function picked there (with the shortcut dialog and the
// macro picker), and the bindings that follow the macro library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/text_source.h"
#include "editing/macro_editor.h"
#include "input/key_names.h"
#include "page/page_dialogs.h"
#include "page/page_view.h"
#include "profiles/profile.h"
#include "session/mouse_session.h"

namespace tvq {

// The menu file of a button's functions: buttons 12 to 15 (counted from 0)
// have a menu of their own.
std::string_view functionMenuFile(std::size_t buttonIndex);

class ButtonsPanel final : public MacroBindings {
  public:
    // Without `dialogs` the key buttons open nothing.
    ButtonsPanel(PageView& view, const TextSource& texts, const KeyNames& keys,
                 MouseSession& session, PageDialogs* dialogs)
        : view_(view), texts_(texts), keys_(keys), session_(session), dialogs_(dialogs) {}

    void refresh(const Profile& current);
    // The mode the mouse switched to: its option, when it has one.
    void showButtonMode(std::int32_t buttonMode);
    // The key button of one of the 18 buttons.
    void refreshKeyText(const Profile& current, std::size_t buttonIndex);
    // The hover overlay of a key button.
    void showKeyOverlay(std::size_t buttonIndex, bool shown);

    // Binds the key buttons: a click opens the button's function menu, the
    // pointer over one shows its overlay.
    void bind(ControlEvents& events);
    void openFunctionMenu(std::size_t buttonIndex);
    // A function-menu item picked for a button: the function goes into the
    // active slot's binding of that button (completed by the shortcut
    // dialog or the macro picker), unless it would leave no button on the
    // left click; then the mouse is sent the profile.
    void assignFunction(std::size_t buttonIndex, std::string_view menuItem);
    // After the macro library changed: every binding of every profile that
    // names a macro takes that macro's current actions, or its button's
    // default function when the macro is gone. Covers all 18 buttons.
    void syncMacroBindings();

    // MacroBindings: every binding of every profile, slot and button.
    void macroRenamed(std::u16string_view from, std::u16string_view to) override;
    Count boundTo(std::u16string_view name) const override;

  private:
    // Completes `b` for the shortcut or the macro function; false to stop.
    bool completeShortcut(ButtonBinding& b, bool& becomesShortcut);
    bool completeMacro(ButtonBinding& b);
    void refreshAllKeyTexts();

    PageView& view_;
    const TextSource& texts_;
    const KeyNames& keys_;
    MouseSession& session_;
    PageDialogs* dialogs_;
};

}  // namespace tvq
