// The shortcut dialog: four modifier boxes (Ctrl, Shift, Alt, Windows) and a
// key field that takes the keys pressed while it has the focus. Keys come
// from the input-hook library while it runs, and from the field's own key
// events everywhere (no X server, a Wayland session), converted alike:
// virtual key, then HID usage.
#pragma once

#include <QMetaObject>
#include <QString>
#include <optional>

#include "editing/shortcut_capture.h"
#include "input/hook_library.h"
#include "toolkit/dialog_base.h"

namespace tvq {

class KeyNames;
class LibraryMessages;

class ShortcutDialog final : public DialogBase {
  public:
    // `hook` and `messages` may be null: the field then takes its own key
    // events only.
    ShortcutDialog(const LanguageManager* language, const KeyNames& keys, InputHook* hook,
                   LibraryMessages* messages, const ShortcutChoice& start, QWidget* owner);
    ~ShortcutDialog() override;

    ShortcutChoice choice() const { return {shortcut_.modifiers(), shortcut_.key()}; }
    bool capturing() const { return capture_.has_value(); }

    void done(int result) override;

  protected:
    void setup() override;

  private:
    void startCapture();
    void stopCapture();
    void onHookInput(quintptr wParam, qintptr lParam);
    void take(std::uint32_t virtualKey, bool down);
    void showChoice();

    const KeyNames& keys_;
    InputHook* hook_;
    LibraryMessages* messages_;
    ShortcutCapture shortcut_;
    QMetaObject::Connection hookInput_;
    std::optional<HookCapture> capture_;
};

}  // namespace tvq
